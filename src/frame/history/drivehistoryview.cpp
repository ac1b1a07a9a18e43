#include "frame/history/drivehistoryview.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "frame/history/snapshotrestore.h"
#include "frame/history/timelinecsv.h"
#include "journal/journalstore.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "platform/profile.h"
#include "shell/prompter.h"
#include "shell/refusaltext.h"
#include "shell/textcatalog.h"
#include "shell/textkeys.h"

namespace velmora::frame {

using namespace velmora::shell;
namespace {

constexpr int kIndexRole = Qt::UserRole;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString KindText(journal::EntryKind kind) {
    std::string key = "historykind";
    for (char c : journal::KindName(kind))
        if (c != '_') key += c;
    return T(key);
}

QString ParameterName(int parameter) {
    const std::string key = "p" + std::to_string(parameter) + "pn";
    if (textkeys::indexOf(key) >= 0) return T(key);
    return QStringLiteral("P%1").arg(parameter, 3, 10, QLatin1Char('0'));
}

QString GroupCaption(int code) {
    return T("historygroup").arg(QStringLiteral("0x") + QString::number(code, 16).toUpper());
}

QString EntryCaption(const journal::Entry& entry) {
    return T("historyentry").arg(QString::number(entry.id), Text(entry.time));
}

// The drive's serial number, once read: the timeline shows only its entries.
std::optional<std::uint32_t> SerialOf(journal::WriteRecorder& recorder,
                                      const model::DriveData& data) {
    if (recorder.serial()) return recorder.serial();
    if (data.GroupReceived(model::code::Group5A)) return data.Image(model::param::kSerialNumber);
    return std::nullopt;
}

}  // namespace

DriveHistoryView::DriveHistoryView(journal::WriteRecorder& recorder, model::DriveData& data,
                                   QWidget* parent)
    : QDialog(parent), m_recorder(recorder), m_data(data) {
    setObjectName("driveHistoryView");
    setWindowTitle(T("historytitle"));
    auto* layout = new QVBoxLayout(this);
    m_caption = new QLabel;
    m_caption->setObjectName("historyCaption");
    m_caption->setWordWrap(true);
    layout->addWidget(m_caption);

    m_timeline = new QTreeWidget;
    m_timeline->setObjectName("historyTimeline");
    m_timeline->setRootIsDecorated(false);
    m_timeline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_timeline->setHeaderLabels({T("historyid"), T("historytime"), T("historykind"),
                                 T("historywhat"), T("historyold"), T("historynew"),
                                 T("historyoutcome"), T("historyorigin")});
    layout->addWidget(m_timeline, 3);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const char* name, const char* key, auto slot) {
        auto* button = new QPushButton(T(key));
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
    };
    addButton("historyCompare", "historycompare", &DriveHistoryView::compareSelected);
    addButton("historyRestore", "historyrestore", &DriveHistoryView::restoreSelected);
    addButton("historyExport", "historyexport", &DriveHistoryView::exportTimeline);
    buttons->addStretch(1);
    addButton("historyClose", "historyclose", &DriveHistoryView::close);
    layout->addLayout(buttons);

    m_summary = new QLabel(T("historycomparehint"));
    m_summary->setObjectName("historySummary");
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_comparison = new QTreeWidget;
    m_comparison->setObjectName("historyComparison");
    m_comparison->setHeaderLabels({T("historyparameter"), QString(), QString()});
    layout->addWidget(m_comparison, 2);
    resize(900, 640);
    reload();
}

void DriveHistoryView::reload() {
    m_timeline->clear();
    m_entries.clear();
    journal::Journal& journal = m_recorder.journal();
    journal.flush();
    journal::JournalStore store;
    // A missing file is a history without entries; an unreadable one is said.
    if (!store.openForReading(journal.file()) && !store.error().empty()) {
        m_caption->setText(T("historyunreadable").arg(Text(store.error())));
        return;
    }
    journal::EntryFilter filter;
    filter.serial = SerialOf(m_recorder, m_data);
    m_caption->setText(filter.serial ? T("historytitleserial").arg(*filter.serial)
                                     : T("historyalldrives"));
    m_entries = store.list(filter);
    std::reverse(m_entries.begin(), m_entries.end());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const journal::Entry& entry = m_entries[i];
        auto* item = new QTreeWidgetItem(
            {QString::number(entry.id), Text(entry.time), KindText(entry.kind),
             Text(entry.parameter), Text(entry.oldValue), Text(entry.newValue), Text(entry.outcome),
             Text(entry.program + ", " + entry.user + "@" + entry.host)});
        item->setData(0, kIndexRole, static_cast<qulonglong>(i));
        if (journal::HoldsSnapshot(entry)) {
            QFont font = item->font(0);
            font.setBold(true);
            for (int column = 0; column < item->columnCount(); ++column)
                item->setFont(column, font);
        }
        m_timeline->addTopLevelItem(item);
    }
    m_timeline->header()->resizeSections(QHeaderView::ResizeToContents);
}

std::vector<const journal::Entry*> DriveHistoryView::selectedSnapshots() const {
    std::vector<const journal::Entry*> picked;
    for (const QTreeWidgetItem* item : m_timeline->selectedItems()) {
        const auto index = item->data(0, kIndexRole).toULongLong();
        if (index < m_entries.size() && journal::HoldsSnapshot(m_entries[index]))
            picked.push_back(&m_entries[index]);
    }
    // The older one first: the comparison reads from then to later.
    std::sort(picked.begin(), picked.end(),
              [](const journal::Entry* a, const journal::Entry* b) { return a->id < b->id; });
    return picked;
}

void DriveHistoryView::compareSelected() {
    const auto picked = selectedSnapshots();
    if (picked.empty() || picked.size() > 2 ||
        picked.size() != static_cast<std::size_t>(m_timeline->selectedItems().size())) {
        prompter().inform(this, T("historycomparehint"));
        return;
    }
    const auto first = journal::SnapshotOf(*picked.front());
    if (picked.size() == 2) {
        showComparison(first.value_or(journal::Snapshot{}),
                       journal::SnapshotOf(*picked.back()).value_or(journal::Snapshot{}),
                       EntryCaption(*picked.front()), EntryCaption(*picked.back()));
    } else {
        showComparison(first.value_or(journal::Snapshot{}), journal::SnapshotOfImage(m_data),
                       EntryCaption(*picked.front()), T("historydrivenow"));
    }
}

void DriveHistoryView::showComparison(const journal::Snapshot& first,
                                      const journal::Snapshot& second, const QString& firstCaption,
                                      const QString& secondCaption) {
    m_comparison->clear();
    m_comparison->setHeaderLabels({T("historyparameter"), firstCaption, secondCaption});
    const auto differences = journal::CompareSnapshots(first, second);
    const auto differs = [&](int parameter) {
        return std::any_of(differences.begin(), differences.end(),
                           [parameter](const auto& d) { return d.parameter == parameter; });
    };
    const QBrush highlight(QColor(255, 224, 140));
    const auto valueOf = [](const journal::Snapshot& snapshot, int parameter) {
        const auto found = snapshot.find(parameter);
        return found == snapshot.end() ? QString() : Text(found->second);
    };
    for (const model::GroupLayout& group : model::AllGroups()) {
        auto* groupItem = new QTreeWidgetItem({GroupCaption(group.code)});
        int changed = 0;
        for (const model::FieldLayout& field : group.fields) {
            const int p = field.parameter;
            if (!first.contains(p) && !second.contains(p)) continue;
            auto* row = new QTreeWidgetItem(
                groupItem, {ParameterName(p), valueOf(first, p), valueOf(second, p)});
            row->setData(0, kIndexRole, p);
            if (!differs(p)) continue;
            ++changed;
            QFont font = row->font(0);
            font.setBold(true);
            for (int column = 0; column < 3; ++column) {
                row->setBackground(column, highlight);
                row->setFont(column, font);
            }
        }
        if (groupItem->childCount() == 0) {
            delete groupItem;
            continue;
        }
        m_comparison->addTopLevelItem(groupItem);
        groupItem->setExpanded(changed > 0);
    }
    m_comparison->header()->resizeSections(QHeaderView::ResizeToContents);
    m_summary->setText(T("historydifferences").arg(differences.size()));
}

void DriveHistoryView::restoreSelected() {
    const auto picked = selectedSnapshots();
    if (picked.size() != 1 || m_timeline->selectedItems().size() != 1) {
        prompter().inform(this, T("historypickone"));
        return;
    }
    const journal::Entry entry = *picked.front();
    if (!prompter().confirm(this, T("historyasktorestore").arg(entry.id).arg(Text(entry.time)),
                            EnterAnswer::Cancel))
        return;
    using Status = SnapshotRestoreResult::Status;
    const SnapshotRestoreResult result = RestoreSnapshot(entry, m_data, m_recorder);
    switch (result.status) {
        case Status::Sent:
            prompter().inform(this, T("historyrestored").arg(entry.id).arg(result.undoEntry));
            break;
        case Status::NotRead:
            prompter().inform(this, T("historyrestorenotread"));
            break;
        case Status::MotorTurning:
            prompter().inform(this, T("gaterefusedrunning"));
            break;
        case Status::Refused:
            prompter().inform(this,
                              RefusalText({model::GateRefusal::Reason::Value, 0, result.refusals}));
            break;
        case Status::NoSnapshot:
            prompter().inform(this, T("historyrestorenosnapshot").arg(entry.id));
            break;
        case Status::NoUndo:
            prompter().inform(this, T("historyrestorenoundo"));
            break;
        case Status::NotSent:
            prompter().inform(this, T("historyrestorestopped").arg(result.undoEntry));
            break;
    }
    reload();
}

void DriveHistoryView::exportTimeline() {
    const auto serial = SerialOf(m_recorder, m_data);
    FileChoice choice{T("historyexporttitle"),
                      T("historycsvfiles"),
                      QStringLiteral("csv"),
                      serial ? QStringLiteral("drive-history-%1.csv").arg(*serial)
                             : QStringLiteral("drive-history.csv"),
                      {}};
    const QString path = prompter().chooseSaveFile(this, choice);
    if (path.isEmpty()) return;
    std::string error;
    // The user agreed to replace the file in the dialog.
    if (!platform::WriteFileAtomically(path.toStdString(), TimelineCsv(m_entries),
                                       platform::ReadOnlyTarget::Replace, &error)) {
        prompter().fileError(this, path, Text(error));
        return;
    }
    m_summary->setText(T("filesaved").arg(QDir::toNativeSeparators(path)));
}

}  // namespace velmora::frame
