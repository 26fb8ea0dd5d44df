#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include <vector>

class QDialog;
class QWidget;
struct DialogControl;
struct DialogTemplate;

// Makes a dialog from its template: title, frame, font and size of the
// dialog, then its controls, placed by converting dialog units with the
// dialog font's metrics, styled as the template says and in the template's
// tab order. The lists stay empty: their items belong to the dialog's
// initialisation, which runs later.
class CDialogBuilder {
public:
    // One created control and the template entry it came from.
    struct Control {
        int nId;
        QWidget* pWidget;
        const DialogControl* pTemplate;
    };

    explicit CDialogBuilder(const QFont& font);

    // The template's font; a family the system lacks is replaced by its sans
    // serif font.
    static QFont FontOf(const DialogTemplate& dialogTemplate);

    // Average character width and character height of the font, in pixels:
    // four horizontal and eight vertical dialog units.
    QSize GetBaseUnits() const { return {m_cxChar, m_cyChar}; }
    QRect MapDialogRect(int x, int y, int cx, int cy) const;
    QSize MapDialogSize(int cx, int cy) const;

    // Builds into dialog, which must have no controls yet. The controls are
    // children of dialog and come back in template order.
    static std::vector<Control> Build(QDialog& dialog, const DialogTemplate& dialogTemplate);

    // text without its mnemonic marks ("&&" stays one '&').
    static QString StripMnemonic(const QString& text);

private:
    // The templates were drawn for a narrower font than most systems have. A
    // label whose text is wider than its rectangle takes the free room to its
    // right, up to the next control on its line or the edge of the group box
    // or dialog around it, rather than being cut off.
    static void WidenLabels(const QDialog& dialog, const std::vector<Control>& controls);
    QWidget* Create(QDialog& dialog, const DialogControl& control) const;

    int m_cxChar;
    int m_cyChar;
};
