// The find bar under the panes: the text, the columns to match, match case,
// next and previous, where the search stands ("第 3 个，共 1,234 个"), and
// 在文件夹中查找 for the same query over the game's folder.
// The search itself is the FindController's; this shows it.
#pragma once
#include <QWidget>

#include "ui/find_controller.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

class FindBar final : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(FindController& find, QWidget* parent = nullptr);
    ~FindBar() override;

    QLineEdit* Field() const { return field_; }
    QCheckBox* ColumnBox(int column) const { return columns_[column]; }
    QCheckBox* CaseBox() const { return matchCase_; }
    QString StatusText() const;
    bool Searching() const { return find_.Searching(); }
    int HitCount() const { return find_.HitCount(); }

    void Start() { find_.Start(); }
    void Next();
    void Previous();
    void Stop() { find_.Stop(); }

Q_SIGNALS:
    void CloseRequested();
    void FindInFolderRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void QueryChanged();

    FindController& find_;
    QLineEdit* field_ = nullptr;
    QCheckBox* columns_[3] = {};
    QCheckBox* matchCase_ = nullptr;
    QLabel* status_ = nullptr;
};
