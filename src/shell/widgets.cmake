# Shared widgets, texts and popups of the shell (owned separately from the
# main window so both can grow without touching one list).
set(VELMORA_SHELL_WIDGET_SOURCES
)
