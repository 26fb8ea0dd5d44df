// A second baseline of the start benchmark: a Qt program that shows one
// window holding one line of text in a layout, so that laying the window out
// measures the text before the window shows, as any window with text does:
// the cost of text itself (fontconfig, Qt's font list, the font's first
// glyphs) is part of it.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Ready")));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
