// The results list of the game's folder, below the panes: a heading with
// the search's title and where it stands, 取消 while it runs, 关闭, and its
// lines (up to GameFolderController::kMaxResults, in a model that only
// counts them: the texts stay the controller's).  Write lines are red.
// Double-click or Enter on a line goes to its row.  Hidden until a search
// begins.
#pragma once
#include <QWidget>

class FolderResultsModel;
class GameFolderController;
class QLabel;
class QListView;
class QPushButton;

class FolderResultsPanel final : public QWidget {
    Q_OBJECT

public:
    explicit FolderResultsPanel(GameFolderController& folder, QWidget* parent = nullptr);
    ~FolderResultsPanel() override;

    QString HeadingText() const;
    QListView* Lines() const { return lines_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* CloseButton() const { return close_; }

Q_SIGNALS:
    // A search put the hidden list on screen.
    void Opened();

private:
    void Update();
    void Choose(int line);
    void Close();

    GameFolderController& folder_;
    FolderResultsModel* model_;
    QLabel* heading_;
    QPushButton* cancel_;
    QPushButton* close_;
    QListView* lines_;
};
