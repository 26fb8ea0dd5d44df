#include "CReplaceFolderDlg.h"

#include "format/CSoundImporter.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CPlural.h"
#include "framework/ui/CDataExchange.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTableWidget>

#include <array>

CReplaceFolderDlg::CReplaceFolderDlg(CReplacePlan plan, QWidget* pParentWnd)
    : CDialog(IDD, pParentWnd), m_plan(std::move(plan)),
      m_bKeepRate(m_plan.options.keepRate ? 1 : 0),
      m_bMatchLoudness(m_plan.options.matchLoudness ? 1 : 0),
      m_ticked(m_plan.matches.size(), true) {}

CReplaceFolderDlg::~CReplaceFolderDlg() = default;

std::span<const CDialog::MessageEntry> CReplaceFolderDlg::GetMessageMap() const {
    static const std::array map{
        Notify(IDC_KEEP_RATE, BN_CLICKED, &CReplaceFolderDlg::OnKeepRate),
        Notify(IDC_MATCH_LOUDNESS, BN_CLICKED, &CReplaceFolderDlg::OnMatchLoudness),
    };
    return map;
}

void CReplaceFolderDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_KEEP_RATE, m_bKeepRate);
    DDX_Check(pDX, IDC_MATCH_LOUDNESS, m_bMatchLoudness);
}

bool CReplaceFolderDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    QWidget* pFrame = GetDlgItem(IDC_REPLACE_TABLE);
    m_pTable = new QTableWidget(static_cast<int>(m_plan.matches.size()), ColumnCount, this);
    m_pTable->setObjectName(QStringLiteral("replaceTable"));
    m_pTable->setGeometry(pFrame->geometry());
    pFrame->hide();
    m_pTable->setHorizontalHeaderLabels({
        QString(),
        QCoreApplication::translate("CReplaceFolderDlg", "Resource"),
        QCoreApplication::translate("CReplaceFolderDlg", "File"),
        QCoreApplication::translate("CReplaceFolderDlg", "From"),
        QCoreApplication::translate("CReplaceFolderDlg", "To"),
        QCoreApplication::translate("CReplaceFolderDlg", "Loop"),
        QCoreApplication::translate("CReplaceFolderDlg", "Loudness"),
    });
    m_pTable->verticalHeader()->hide();
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < static_cast<int>(m_plan.matches.size()); ++row) {
        const CReplacePlan::Match& m = m_plan.matches[static_cast<size_t>(row)];
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        tick->setCheckState(Qt::Checked);
        m_pTable->setItem(row, Tick, tick);
        m_pTable->setItem(row, Resource,
                          new QTableWidgetItem(QStringLiteral("%1 %2").arg(m.index).arg(m.name)));
        m_pTable->setItem(row, File, new QTableWidgetItem(m.fileName));
        m_pTable->setItem(row, From, new QTableWidgetItem(CReplacePlan::FormatText(m.from)));
        m_pTable->setItem(row, Loop, new QTableWidgetItem(CReplacePlan::LoopText(m.loop)));
    }
    FillTargets();
    FillLoudness();
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);

    QStringList notes;
    const int files = static_cast<int>(m_plan.matches.size());
    notes.append(CPlural::Text(
        "CReplaceFolderDlg",
        QT_TRANSLATE_N_NOOP("CReplaceFolderDlg", "Matching samples: %n file(s)."), files));
    if (!m_plan.ambiguous.empty()) {
        QStringList names;
        for (const CReplacePlan::Ambiguous& a : m_plan.ambiguous) {
            names.append(a.fileName);
        }
        notes.append(QCoreApplication::translate("CReplaceFolderDlg", "Ambiguous, left alone: %1.")
                         .arg(names.join(QStringLiteral(", "))));
    }
    if (!m_plan.unmatched.isEmpty()) {
        notes.append(QCoreApplication::translate("CReplaceFolderDlg", "Matching nothing: %1.")
                         .arg(m_plan.unmatched.join(QStringLiteral(", "))));
    }
    SetDlgItemText(IDC_REPLACE_SUMMARY, notes.join(QLatin1Char(' ')));
    GetDlgItem(IDC_REPLACE_SUMMARY)->setToolTip(notes.join(QLatin1Char('\n')));
    return true;
}

void CReplaceFolderDlg::FillTargets() {
    for (int row = 0; row < static_cast<int>(m_plan.matches.size()); ++row) {
        CReplacePlan::Match& m = m_plan.matches[static_cast<size_t>(row)];
        m.to = CSoundImporter::TargetFormat(m.record, m.from, m_bKeepRate != 0);
        m_pTable->setItem(row, To, new QTableWidgetItem(CReplacePlan::FormatText(m.to)));
    }
}

void CReplaceFolderDlg::FillLoudness() {
    for (int row = 0; row < static_cast<int>(m_plan.matches.size()); ++row) {
        // Measuring converts each sound: only when the user asks for it.
        const QString text =
            m_bMatchLoudness != 0 && m_loudnessOf
                ? m_loudnessOf(m_plan.matches[static_cast<size_t>(row)], m_bKeepRate != 0)
                : QStringLiteral("-");
        m_pTable->setItem(row, Loudness, new QTableWidgetItem(text));
        m_pTable->item(row, Loudness)->setToolTip(text);
    }
}

void CReplaceFolderDlg::OnKeepRate() {
    const auto* pBox = qobject_cast<const QAbstractButton*>(GetDlgItem(IDC_KEEP_RATE));
    m_bKeepRate = pBox != nullptr && pBox->isChecked() ? 1 : 0;
    FillTargets();
    if (m_bMatchLoudness != 0) {
        FillLoudness();
    }
}

void CReplaceFolderDlg::OnMatchLoudness() {
    const auto* pBox = qobject_cast<const QAbstractButton*>(GetDlgItem(IDC_MATCH_LOUDNESS));
    m_bMatchLoudness = pBox != nullptr && pBox->isChecked() ? 1 : 0;
    FillLoudness();
}

void CReplaceFolderDlg::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    m_plan.options.keepRate = m_bKeepRate != 0;
    m_plan.options.matchLoudness = m_bMatchLoudness != 0;
    FillTargets();
    for (int row = 0; row < static_cast<int>(m_ticked.size()); ++row) {
        m_ticked[static_cast<size_t>(row)] = m_pTable->item(row, Tick)->checkState() == Qt::Checked;
    }
    EndDialog(IDOK);
}

std::vector<CReplacePlan::Match> CReplaceFolderDlg::Chosen() const {
    std::vector<CReplacePlan::Match> chosen;
    for (size_t i = 0; i < m_plan.matches.size(); ++i) {
        if (m_ticked[i]) {
            chosen.push_back(m_plan.matches[i]);
        }
    }
    return chosen;
}
