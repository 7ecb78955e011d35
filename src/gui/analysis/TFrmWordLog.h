#pragma once
// "Поток слов": every captured word in the order it came, with its times,
// fields, value and the interval since its label's previous word. Live it
// follows the capture ring after each refresh tick and stands still while
// paused or scrolled away from the end; a recording opens in its place and is
// read lazily, its rows growing as it is read through for a filter. The
// window sends no request of its own.
#include <QWidget>
#include <filesystem>
#include <memory>

class QComboBox;
class QElapsedTimer;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace telvar5 {

class Monitor;
struct FormatTables;
class WordLogFilterBar;
class WordLogModel;
class WordLogSession;

class TFrmWordLog : public QWidget {
    Q_OBJECT
public:
    explicit TFrmWordLog(Monitor& monitor, QWidget* parent = nullptr);
    ~TFrmWordLog() override;

    // After every refresh tick: the live log takes the ring's new words.
    void afterTick();
    // Opens a recording in the window (the command line's .tlvcap, "Открыть запись…").
    bool openRecording(const std::filesystem::path& file);

    WordLogSession& session() { return *session_; }
    QTableView* grid() const { return grid_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void filterChanged();
    void sourceChanged();
    void scanSlice();
    void findNext();
    void setPaused(bool paused);
    void scrolled(int value);
    void followEnd();
    void showStatus();
    void catchUpFormats();

    Monitor& monitor_;
    std::unique_ptr<WordLogSession> session_;
    WordLogModel* model_ = nullptr;
    WordLogFilterBar* filterBar_ = nullptr;
    QTableView* grid_ = nullptr;
    QComboBox* findKind_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* live_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* report_ = nullptr;
    QTimer* scanTimer_ = nullptr;
    std::unique_ptr<FormatTables> formatsSeen_; // the formats the values were last shown through
    bool syncing_ = false;
};

} // namespace telvar5
