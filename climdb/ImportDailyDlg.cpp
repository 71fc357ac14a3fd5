#include "ImportDailyDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "FileDialog.h"
#include "Help.h"
#include "Hourglass.h"
#include "MessageService.h"
#include "Table.h"

namespace quen::climprog {

namespace {
constexpr int kHelp = 19208;
}

TImportDailyDlg::TImportDailyDlg(const QString& station, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportDailyDlg"));
    setWindowTitle(QStringLiteral("Import Daily Weather"));
    setHelpContext(this, kHelp);
    auto* v = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("Daily weather of one station for the daily soil-water balance: a plain "
                                           "daily CSV (date, tmax_C, tmin_C, ...) or NOAA NCEI Daily Summaries. "
                                           "Earlier daily weather of the station is replaced."), this);
    note->setWordWrap(true);
    v->addWidget(note);

    auto* form = new QFormLayout;
    auto* fileRow = new QHBoxLayout;
    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    SelFileBtn = new QPushButton(QStringLiteral("Select File..."), this);
    SelFileBtn->setObjectName(QStringLiteral("SelFileBtn"));
    fileRow->addWidget(FileEdit, 1);
    fileRow->addWidget(SelFileBtn);
    form->addRow(QStringLiteral("File"), fileRow);

    FormatCombo = new QComboBox(this);
    FormatCombo->setObjectName(QStringLiteral("FormatCombo"));
    FormatCombo->addItem(QStringLiteral("Plain daily CSV"), int(job::DailyFileFormat::Plain));
    FormatCombo->addItem(QStringLiteral("NCEI Daily Summaries, standard units"), int(job::DailyFileFormat::Ncei));
    FormatCombo->addItem(QStringLiteral("NCEI Daily Summaries, metric units"), int(job::DailyFileFormat::NceiMetric));
    form->addRow(QStringLiteral("Format"), FormatCombo);

    WindHeightEdit = new QDoubleSpinBox(this);
    WindHeightEdit->setObjectName(QStringLiteral("WindHeightEdit"));
    WindHeightEdit->setRange(0.5, 100.0);
    WindHeightEdit->setDecimals(1);
    WindHeightEdit->setValue(2.0);
    WindHeightEdit->setSuffix(QStringLiteral(" m"));
    form->addRow(QStringLiteral("Height of the wind measurement"), WindHeightEdit);

    CoastalCheck = new QCheckBox(QStringLiteral("Coastal location"), this);
    CoastalCheck->setObjectName(QStringLiteral("CoastalCheck"));
    form->addRow(QString(), CoastalCheck);

    StationCombo = new QComboBox(this);
    StationCombo->setObjectName(QStringLiteral("StationCombo"));
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.setIndexName(QStringLiteral("StaNameIndex"));
        clim.open();
        for (clim.first(); !clim.eof(); clim.next())
            StationCombo->addItem(clim.field(QStringLiteral("Station Name")).asString());
        clim.close();
    }
    // A station the list does not hold preselects none: the planner picks it,
    // rather than the first station of the list being taken for it.
    StationCombo->setCurrentIndex(StationCombo->findText(station, Qt::MatchFixedString));
    form->addRow(QStringLiteral("Station"), StationCombo);
    v->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    v->addLayout(buttons);

    connect(SelFileBtn, &QPushButton::clicked, this, &TImportDailyDlg::SelFileBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TImportDailyDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(kHelp); });
    resize(620, 260);
}

job::DailyImportRequest TImportDailyDlg::request() const
{
    job::DailyImportRequest r;
    r.filePath = FileEdit->text().trimmed();
    r.format = job::DailyFileFormat(FormatCombo->currentData().toInt());
    r.windHeightM = WindHeightEdit->value();
    r.coastal = CoastalCheck->isChecked();
    r.stationName = StationCombo->currentText();
    return r;
}

void TImportDailyDlg::SelFileBtnClick()
{
    const QString path = TFileDialog::getOpenFileName(this, QStringLiteral("Select Daily Weather File"), QString(),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        FileEdit->setText(path);
}

void TImportDailyDlg::OKBtnClick()
{
    const job::DailyImportRequest r = request();
    if (r.filePath.isEmpty()) {
        showError(QStringLiteral("Select the file of daily weather."));
        return;
    }
    if (r.stationName.isEmpty()) {
        showError(QStringLiteral("Select the station the daily weather is for."));
        return;
    }
    {
        THourglass wait;
        m_result = job::ImportDailyWeather(r);
    }
    if (m_result.cancelled) {
        showInfo(QStringLiteral("Changes not made!"));
        return;
    }
    if (!m_result.imported) {
        QString text = m_result.error;
        if (!m_result.refused.empty())
            text += QLatin1Char('\n') + job::RefusedLinesText(m_result.refused);
        showError(text);
        return;
    }
    showInfo(m_result.summary());
    accept();
}

} // namespace quen::climprog
