#pragma once
// A tab control that tells the user's page changes from the program's: for
// a change made by the user (mouse or keys on the tab row, Ctrl+Tab,
// Ctrl+Shift+Tab) it reports userChanging() while the old page is still the
// current one, then userChanged() once the new page is shown. A page the
// program selects with setCurrentIndex()/setCurrentWidget() raises neither.

#include <QTabWidget>

namespace platform {

class PageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    // Runs an input event that may change the page, reporting a change it made.
    template <class Input> void runUserInput(Input&& input);

signals:
    void userChanging();
    void userChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reportUserChange(int before);
    bool insideUserInput_ = false;
};

template <class Input> void PageControl::runUserInput(Input&& input)
{
    if (insideUserInput_) {
        input();
        return;
    }
    insideUserInput_ = true;
    const int before = currentIndex();
    input();
    insideUserInput_ = false;
    reportUserChange(before);
}

} // namespace platform
