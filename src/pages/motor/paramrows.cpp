#include "pages/motor/paramrows.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "model/numberparse.h"
#include "model/parameters.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using shell::T;

namespace {

QString ParameterName(int parameter, const char* suffix) {
    return QStringLiteral("p%1%2").arg(parameter).arg(QLatin1String(suffix));
}

}  // namespace

NumberRow::NumberRow(QWidget* panel, model::DriveData& data, const NumberSpec& spec,
                     const char* labelKey)
    : QObject(panel),
      m_data(data),
      m_spec(spec),
      m_labelKey(labelKey ? labelKey : ""),
      m_unitKey(spec.unitKey ? spec.unitKey : "") {
    if (!m_labelKey.empty()) {
        m_label = new QLabel(panel);
        m_label->setObjectName(ParameterName(spec.parameter, "Label"));
    }
    m_field = new SpinField(panel);
    m_field->setObjectName(ParameterName(spec.parameter, "Field"));
    m_field->setMinimumWidth(72 * panel->logicalDpiX() / 96);
    m_unit = new QLabel(panel);
    m_unit->setObjectName(ParameterName(spec.parameter, "Unit"));
    if (m_spec.kind == NumberKind::Frequency && m_unitKey.empty()) m_unitKey = "hz";

    m_field->onStep([this](int direction) { step(direction); });
    connect(m_field, &QAbstractSpinBox::editingFinished, this, &NumberRow::commit);
}

void NumberRow::addTo(QGridLayout* grid, int row, int column, int fieldColumn) {
    if (fieldColumn < 0) fieldColumn = column + 1;
    if (m_label) grid->addWidget(m_label, row, column);
    grid->addWidget(m_field, row, fieldColumn);
    grid->addWidget(m_unit, row, fieldColumn + 1);
}

bool NumberRow::rpm() const {
    return m_spec.kind == NumberKind::Frequency && RpmDisplay(m_data.GetChoice(param::kSpeedUnit));
}

QString NumberRow::text() const {
    return m_field->fieldText();
}

void NumberRow::load() {
    if (m_spec.kind == NumberKind::Real) {
        showValue(m_data.GetReal(m_spec.parameter));
    } else {
        showValue(static_cast<double>(m_data.GetChoice(m_spec.parameter)));
    }
}

void NumberRow::showValue(double value) {
    if (m_spec.kind == NumberKind::Real) {
        m_field->setFieldText(QString::fromStdString(model::FormatFixed(value, m_spec.decimals)));
        return;
    }
    // 64 bits: an unread word (all ones) times 60 must not wrap.
    auto shown = static_cast<std::uint64_t>(value);
    if (rpm()) shown *= 60;
    m_field->setFieldText(QString::number(shown));
}

void NumberRow::store(double value) {
    if (m_spec.kind == NumberKind::Real) {
        m_data.SetReal(m_spec.parameter, static_cast<float>(value));
    } else {
        m_data.SetChoice(m_spec.parameter, static_cast<std::uint32_t>(value));
    }
    load();
    if (m_afterChange) m_afterChange();
}

void NumberRow::commit() {
    if (m_rangeSource) setRange(m_rangeSource());
    const std::string text = m_field->fieldText().toStdString();
    storeOrRefuse(CommitValue(m_spec, text, rpm(), InterfaceDecimalSeparator()));
}

void NumberRow::step(int direction) {
    if (m_rangeSource) setRange(m_rangeSource());
    const std::string text = m_field->fieldText().toStdString();
    storeOrRefuse(SpinValue(m_spec, text, rpm(), direction, InterfaceDecimalSeparator()));
}

// A text that is not a number leaves the working copy alone, so nothing of
// it can be sent; the field shows the value it had.
void NumberRow::storeOrRefuse(std::optional<double> value) {
    if (value) {
        store(*value);
        return;
    }
    const QString text = m_field->fieldText();
    load();
    RefuseTypedText(m_field, text);
}

void NumberRow::setRange(NumberRange range) {
    m_spec.typed = range;
    m_spec.spin = range;
}

void NumberRow::setEnabled(bool enabled) {
    m_field->setEnabled(enabled);
}

void NumberRow::setVisible(bool visible) {
    if (m_label) m_label->setVisible(visible);
    m_field->setVisible(visible);
    m_unit->setVisible(visible);
}

void NumberRow::setSpeedUnit(std::uint32_t speedUnitChoice) {
    if (m_spec.kind != NumberKind::Frequency) return;
    if (const char* key = FrequencyUnitKey(speedUnitChoice)) {
        m_unitKey = key;
        m_unit->setText(T(m_unitKey));
    }
}

void NumberRow::applyTexts() {
    if (m_label) m_label->setText(T(m_labelKey));
    if (!m_unitKey.empty()) m_unit->setText(T(m_unitKey));
}

ChoiceRow::ChoiceRow(QWidget* panel, const char* labelKey, const char* objectName,
                     std::initializer_list<const char*> entryKeys)
    : QObject(panel), m_labelKey(labelKey) {
    for (const char* key : entryKeys) m_entryKeys.emplace_back(key);
    m_label = new QLabel(panel);
    m_label->setObjectName(QLatin1String(objectName) + QLatin1String("Label"));
    m_list = new QComboBox(panel);
    m_list->setObjectName(QLatin1String(objectName));
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (std::size_t i = 0; i < m_entryKeys.size(); ++i) m_list->addItem(QString());
    m_list->setCurrentIndex(-1);
    connect(m_list, &QComboBox::activated, this, [this](int index) {
        if (m_onPicked) m_onPicked(index);
    });
}

void ChoiceRow::addTo(QGridLayout* grid, int row, int column) {
    grid->addWidget(m_label, row, column);
    grid->addWidget(m_list, row, column + 1);
}

bool ChoiceRow::select(long long index) {
    if (index < 0 || index >= m_list->count()) {
        m_list->setCurrentIndex(-1);
        return false;
    }
    m_list->setCurrentIndex(static_cast<int>(index));
    return true;
}

int ChoiceRow::selected() const {
    return m_list->currentIndex();
}
int ChoiceRow::count() const {
    return m_list->count();
}
void ChoiceRow::setEnabled(bool enabled) {
    m_list->setEnabled(enabled);
}

void ChoiceRow::setVisible(bool visible) {
    m_label->setVisible(visible);
    m_list->setVisible(visible);
}

void ChoiceRow::applyTexts() {
    m_label->setText(T(m_labelKey));
    for (std::size_t i = 0; i < m_entryKeys.size(); ++i) {
        m_list->setItemText(static_cast<int>(i), T(m_entryKeys[i]));
    }
}

}  // namespace velmora::pages
