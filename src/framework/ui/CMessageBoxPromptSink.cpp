#include "CMessageBoxPromptSink.h"

#include "CModalRunner.h"

#include "framework/core/AfxMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kAnswerProperty = "kantelAnswer";
} // namespace

CMessageBoxPromptSink::CMessageBoxPromptSink(QString title) : m_strTitle(std::move(title)) {}

namespace {

QWidget* boxParent() {
    QWidget* parent = QApplication::activeModalWidget();
    return parent != nullptr ? parent : QApplication::activeWindow();
}

} // namespace

int CMessageBoxPromptSink::Show(const QString& text, unsigned type) {
    const std::unique_ptr<QMessageBox> box = CreateBox(text, type, boxParent());
    CSeam<CModalRunner>::Current().RunModal(*box);
    return AnswerOf(*box, type);
}

int CMessageBoxPromptSink::ShowWith(const QString& text, unsigned type, const Options& options) {
    const std::unique_ptr<QMessageBox> box = CreateBox(text, type, boxParent());
    // The buttons in the order the type gives them, whatever order the
    // platform lays them out in.
    QList<QMessageBox::StandardButton> order;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        order = {QMessageBox::Ok, QMessageBox::Cancel};
        break;
    case MB_YESNOCANCEL:
        order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        break;
    case MB_YESNO:
        order = {QMessageBox::Yes, QMessageBox::No};
        break;
    case MB_YESTOALLNOCANCEL:
        order = {QMessageBox::Yes, QMessageBox::YesToAll, QMessageBox::No, QMessageBox::Cancel};
        break;
    default:
        order = {QMessageBox::Ok};
        break;
    }
    for (qsizetype i = 0; i < order.size() && i < options.buttonTexts.size(); ++i) {
        if (QAbstractButton* button = box->button(order.at(i)); button != nullptr) {
            button->setText(options.buttonTexts.at(i));
        }
    }
    QCheckBox* check = nullptr;
    if (!options.checkText.isEmpty()) {
        // The box owns the check box from here on.
        check = new QCheckBox(options.checkText);
        check->setChecked(options.pChecked != nullptr && *options.pChecked);
        box->setCheckBox(check);
    }
    CSeam<CModalRunner>::Current().RunModal(*box);
    if (check != nullptr && options.pChecked != nullptr) {
        *options.pChecked = check->isChecked();
    }
    return AnswerOf(*box, type);
}

namespace {

QMessageBox::Icon iconOf(unsigned type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Save Anyway, Reload and Cancel. No standard buttons say this; each answer
// rides on its button.
void addSaveAnywayButtons(QMessageBox& box) {
    QPushButton* save =
        box.addButton(QCoreApplication::translate("CMessageBoxPromptSink", "&Save Anyway"),
                      QMessageBox::AcceptRole);
    save->setProperty(kAnswerProperty, IDSAVEANYWAY);
    box.addButton(QCoreApplication::translate("CMessageBoxPromptSink", "&Reload"),
                  QMessageBox::ResetRole)
        ->setProperty(kAnswerProperty, IDRELOAD);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    // Replacing someone else's change is never what Enter should do.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
}

} // namespace

std::unique_ptr<QMessageBox> CMessageBoxPromptSink::CreateBox(const QString& text, unsigned type,
                                                              QWidget* parent) const {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(m_strTitle);
    // Messages carry file names; they are never markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(iconOf(type));
    QMessageBox::StandardButton first = QMessageBox::Ok;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNOCANCEL:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        first = QMessageBox::Yes;
        break;
    case MB_YESNO:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        first = QMessageBox::Yes;
        break;
    case MB_YESTOALLNOCANCEL:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No |
                                QMessageBox::Cancel);
        first = QMessageBox::Yes;
        break;
    case MB_SAVEANYWAYRELOADCANCEL:
        addSaveAnywayButtons(*box);
        return box;
    default:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    }
    box->setDefaultButton(first);
    if ((type & MB_DEFBUTTON2) != 0U) {
        if (auto* second = qobject_cast<QPushButton*>(
                box->button(first == QMessageBox::Yes ? QMessageBox::No : QMessageBox::Cancel))) {
            box->setDefaultButton(second);
        }
    }
    return box;
}

int CMessageBoxPromptSink::AnswerOf(const QMessageBox& box, unsigned type) {
    if (QAbstractButton* clicked = box.clickedButton()) {
        if (const QVariant answer = clicked->property(kAnswerProperty); answer.isValid()) {
            return answer.toInt();
        }
        switch (box.standardButton(clicked)) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::YesToAll:
            return IDYESTOALL;
        case QMessageBox::No:
            return IDNO;
        default:
            break;
        }
    }
    return UnattendedAnswer(type);
}
