// The find bar under the panes: the text, the columns to match, match case,
// next and previous, and where the search stands ("第 3 个，共 1,234 个").
// The search runs on a worker thread over the loaded document; hits arrive
// in batches, the first one as soon as it is found.
#pragma once
#include <QWidget>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "present/find_rows.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class Navigation;

class FindBar final : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(Navigation& navigation, QWidget* parent = nullptr);
    ~FindBar() override;

    QLineEdit* Field() const { return field_; }
    QCheckBox* ColumnBox(int column) const { return columns_[column]; }
    QCheckBox* CaseBox() const { return matchCase_; }
    QString StatusText() const;
    bool Searching() const { return searching_; }
    int HitCount() const { return static_cast<int>(hits_.size()); }

    // Starts the search for the bar's query now, stopping any other.
    void Start();
    // Goes to the next or previous hit, wrapping around; starts the search
    // when the query has none running or done.
    void Next();
    void Previous();
    // Stops the search and forgets its hits (Esc, a new document).
    void Stop();

signals:
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void QueryChanged();
    void Step(int direction);
    void Receive(unsigned generation, std::vector<FindHit> batch, bool done);
    void ShowCurrent();
    void UpdateStatus();
    FindQuery Query() const;

    Navigation& navigation_;
    QLineEdit* field_ = nullptr;
    QCheckBox* columns_[3] = {};
    QCheckBox* matchCase_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* restart_ = nullptr;

    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    unsigned generation_ = 0;
    bool started_ = false;    // a search for the current query ran or runs
    bool searching_ = false;
    std::vector<FindHit> hits_;
    int current_ = -1;
};
