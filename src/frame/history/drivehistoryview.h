#pragma once
// The connected drive's history from the journal, newest first: pick a
// snapshot (a connection entry) and compare it with the drive now or with a
// second one, the differences highlighted in the parameter groups; write a
// snapshot back to the drive; export the list as CSV. Questions and file
// dialogs go through the prompter.
#include <QDialog>
#include <vector>

#include "journal/entry.h"
#include "journal/journal.h"
#include "journal/snapshot.h"
#include "journal/writerecorder.h"
#include "model/drivedata.h"

class QLabel;
class QTreeWidget;

namespace velmora::frame {

class DriveHistoryView : public QDialog {
    Q_OBJECT
  public:
    DriveHistoryView(journal::WriteRecorder& recorder, model::DriveData& data,
                     QWidget* parent = nullptr);

    // Reads the journal again (after what is queued is written).
    void reload();
    // The buttons' work, on the entries selected in the timeline.
    void compareSelected();
    void restoreSelected();
    void exportTimeline();

    [[nodiscard]] QTreeWidget* timeline() const { return m_timeline; }
    [[nodiscard]] QTreeWidget* comparison() const { return m_comparison; }
    [[nodiscard]] const std::vector<journal::Entry>& entries() const { return m_entries; }

  private:
    [[nodiscard]] std::vector<const journal::Entry*> selectedSnapshots() const;
    void showComparison(const journal::Snapshot& first, const journal::Snapshot& second,
                        const QString& firstCaption, const QString& secondCaption);

    journal::WriteRecorder& m_recorder;
    model::DriveData& m_data;
    std::vector<journal::Entry> m_entries;  // newest first, as the timeline shows them
    QLabel* m_caption = nullptr;
    QTreeWidget* m_timeline = nullptr;
    QTreeWidget* m_comparison = nullptr;
    QLabel* m_summary = nullptr;
};

}  // namespace velmora::frame
