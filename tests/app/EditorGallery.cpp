// Starts the editor on a bank under a real X server, opens an event list
// beside the resource list and a property dialog over them, and takes a
// picture of the screen at each step, so the look of the whole editor can be
// checked by eye (scripts/screenshot-editor runs it under xvfb-run).
//
//   editor_gallery OUTPUT_FOLDER BANK

#include "IniFileSettingsStore.h"

#include "app/CKantelApp.h"
#include "app/CMainFrame.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CModalRunner.h"
#include "res/resource.h"
#include "views/CEventView.h"
#include "views/CKantelView.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

QString g_folder;
bool g_failed = false;

// Lets the window system and the painting catch up, then saves the whole
// screen as name.png.
void Photograph(const QString& name, QWidget* pWindow) {
    if (pWindow != nullptr && !QTest::qWaitForWindowExposed(pWindow)) {
        std::fprintf(stderr, "%s was never shown\n", qPrintable(name));
        g_failed = true;
    }
    // The event loop runs until it has nothing left to do, as the editor's
    // does before it waits: the toolbar and menus take their state then, and
    // what changed is painted.
    QEventLoop idle;
    for (int pass = 0; pass < 1000 && idle.processEvents(); ++pass) {
    }
    const QString path = QDir(g_folder).filePath(name + QStringLiteral(".png"));
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0);
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        g_failed = true;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// Shows each dialog, photographs it over the editor and cancels it.
class Photographer final : public CModalRunner {
public:
    QString name;

    int RunModal(QDialog& dialog) override {
        dialog.show();
        Photograph(name, &dialog);
        dialog.reject();
        return dialog.result();
    }
};

void SelectRow(CListCtrl& list, int row) {
    list.setFocus();
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: editor_gallery OUTPUT_FOLDER BANK\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    const QString bank = QString::fromLocal8Bit(argv[2]);
    // The editor sees no command line of its own: it starts empty, as from
    // the desktop menu, and the bank is opened as File Open would.
    int appArgc = 1;
    QApplication application(appArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // A first start: no stored placement or toolbar layout, no game
    // installed, no other editor to hand the bank to.
    QTemporaryDir home;
    IniFileSettingsStore settings(home.filePath(QStringLiteral("settings.ini")));
    qputenv("WINEPREFIX", home.filePath(QStringLiteral("wine")).toLocal8Bit());
    qputenv("KANTEL_INSTANCE_KEY", "none");

    CKantelApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    Photograph(QStringLiteral("1-empty"), pFrame);

    auto* pDoc = dynamic_cast<CKantelDoc*>(app.OpenDocumentFile(bank));
    if (pDoc == nullptr || pFrame->MDIGetActive() == nullptr) {
        std::fprintf(stderr, "could not open %s\n", qPrintable(bank));
        return 1;
    }
    CMDIChildWnd* pResources = pFrame->MDIGetActive();
    auto* pResourceView = dynamic_cast<CKantelView*>(pResources->GetActiveView());
    SelectRow(pResourceView->GetListCtrl(), 3);
    Photograph(QStringLiteral("2-resource-list"), pResources);

    pFrame->OnCommand(ID_WINDOW_NEW_EVENT_VIEW);
    CMDIChildWnd* pEvents = pFrame->MDIGetActive();
    auto* pEventView = dynamic_cast<CEventView*>(pEvents->GetActiveView());
    if (pEventView == nullptr) {
        std::fprintf(stderr, "no event list\n");
        return 1;
    }
    SelectRow(pEventView->GetListCtrl(), 4);
    pFrame->OnCommand(ID_WINDOW_TILE_VERT);
    Photograph(QStringLiteral("3-event-list-beside"), pEvents);

    Photographer photographer;
    CSeam<CModalRunner>::Guard runner(&photographer);
    pResources->MDIActivate();
    SelectRow(pResourceView->GetListCtrl(), 3);
    photographer.name = QStringLiteral("4-sample-dialog");
    pFrame->OnCommand(ID_EDIT_PROPERTIES);

    pEvents->MDIActivate();
    SelectRow(pEventView->GetListCtrl(), 4);
    photographer.name = QStringLiteral("5-event-dialog");
    pFrame->OnCommand(ID_EDIT_PROPERTIES);

    pResources->MDIActivate();
    pFrame->OnCommand(ID_WINDOW_CASCADE);
    Photograph(QStringLiteral("6-cascade"), pResources);

    // The columns on the right, the list's far end in view.
    pResources->showMaximized();
    CListCtrl& list = pResourceView->GetListCtrl();
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    Photograph(QStringLiteral("7-right-columns"), pResources);

    pFrame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.ExitInstance();
    return g_failed ? 1 : 0;
}
