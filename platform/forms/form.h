// The form: a top-level window with a client area in twips, an optional menu
// bar, and the life cycle of the classic windows:
//
//   load()        runs Form_Load once; the window stays hidden.
//   showModeless() shows it, loading it first if needed (QWidget::show()
//                 does the same).
//   showModal()   loads, shows, and returns only after the window is unloaded.
//   unload()      hides the window and runs Form_Unload, then Form_Terminate.
//                 Closing the window through its frame unloads it.
//
// A form can be loaded again after an unload; its controls keep whatever
// state they had. A window that must start afresh on each opening is a new
// object: construct it, load(), showModal(). Its controls get their
// design-time state in its constructor.
//
// When the last loaded form is unloaded the application's event loop ends.
// To end the program at once, without unload steps, call nv::endProgram()
// (runtime/end.h).
//
// Controls belong on client(): their positions are measured from the client
// area's top-left. The window's size is the client area's size; the frame
// and menu bar come on top of it.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QEventLoop;
class QMenuBar;
class QVBoxLayout;

namespace nv::forms {

enum class FrameStyle {
    Resizable,   // resizable border, window menu, minimize and maximize buttons
    FixedDialog, // fixed size, window menu with close button, no min/max
    NoTitleBar,  // fixed size, no title bar at all
};

enum class StartUpPosition {
    SystemDefault, // where the window system puts it
    CenterOwner,   // centred on its owner (the screen when it has none)
    CenterScreen,  // centred on the primary screen
    Manual,        // client area's top-left at the given twips on the screen
};

class CommandButton;

class Form : public QWidget
{
    Q_OBJECT

public:
    Form();
    ~Form() override;

    // Life cycle.
    void load(); // no-op when already loaded; errors of Form_Load propagate
    bool isLoaded() const { return m_loaded; }
    void showModeless(); // loads if needed, then shows; returns at once
    void showModal();    // modal to the whole application
    bool isShownModally() const { return m_modalLoop != nullptr; }
    void unload(); // no-op when not loaded

    // Look.
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    QString caption() const { return windowTitle(); }
    void setFrameStyle(FrameStyle style);
    FrameStyle frameStyle() const { return m_frameStyle; }
    void setShowInTaskbar(bool show);
    bool showInTaskbar() const { return m_showInTaskbar; }
    void setStartUpPosition(StartUpPosition position, int leftTwips = 0, int topTwips = 0);
    StartUpPosition startUpPosition() const { return m_startUp; }
    // The window this one belongs to: shown, it is the owner's transient
    // window, which the window system keeps above the owner and out of the
    // task bar. Without one set, a modal show takes the window it blocks.
    void setOwner(QWidget *owner) { m_owner = owner; }
    QWidget *owner() const { return m_owner; }

    // The client area. Its size is fixed for the fixed frame styles; for a
    // resizable window it is the initial size.
    QWidget *client() const;
    void setClientSizeTwips(int width, int height);
    // Moves the outer window so that its frame's top-left is at these twips.
    void moveTwips(int left, int top);
    // The outer size, frame included once the window system has framed it.
    QSize frameSizeTwips() const;

    // A picture drawn on the client area's background from its top-left
    // corner, cut off where the client area ends.
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const;

    // Created on first use, above the client area.
    QMenuBar *menuBar();
    bool hasMenuBar() const { return m_menuBar != nullptr; }

    // Key preview: Form_KeyDown sees every key press for this window before
    // the focused control does.
    void setKeyPreview(bool on);
    bool keyPreview() const { return m_keyPreview; }

    // Enter clicks the default button unless a command button has the focus
    // (then that button); Esc clicks the cancel button. Set through
    // CommandButton::setDefaultButton / setCancelButton.
    CommandButton *defaultButton() const;
    CommandButton *cancelButton() const;

    // Key codes and shift bits as the classic handlers know them.
    static constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
    // The classic key code of a Qt key (Tab 9, Enter 13, Esc 27, 'A' 65 ...),
    // or 0 for keys it has no code for.
    static int keyCodeOf(int qtKey);

protected:
    // The window's handlers; the defaults do nothing.
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    virtual void Form_Terminate() {}
    // Setting keyCode to 0 swallows the key.
    virtual void Form_KeyDown(int &keyCode, int shift) { (void)keyCode, (void)shift; }
    // A click on the window's own background (client area).
    virtual void Form_Click() {}

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void clientClicked();

private:
    void applyWindowFlags();
    void applyStartUpPosition(QWidget *owner);
    QWidget *ownerWhenShown() const;
    void applyClientSize();
    int menuBarHeight() const;

    QVBoxLayout *m_layout = nullptr;
    class Client;
    Client *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QEventLoop *m_modalLoop = nullptr;
    FrameStyle m_frameStyle = FrameStyle::Resizable;
    StartUpPosition m_startUp = StartUpPosition::SystemDefault;
    QPoint m_manualPosTwips;
    QPointer<QWidget> m_owner;
    QSize m_clientTwips;
    QPointer<QWidget> m_lastPreviewed; // dedupes a key event on its way up the parents
    QEvent *m_lastPreviewedEvent = nullptr;
    bool m_loaded = false;
    bool m_positioned = false;
    bool m_showInTaskbar = true;
    bool m_keyPreview = false;
};

// How many forms are loaded at the moment.
int loadedFormCount();
// The program (not the tests) ends its event loop when no form is left loaded.
void setQuitWhenNoFormLoaded(bool on);

} // namespace nv::forms
