#include "analysis/ui/FraDialog.h"

#include "analysis/FraExport.h"
#include "analysis/FraMeasurement.h"
#include "analysis/ResponsePlot.h"
#include "analysis/ui/FilterDialog.h"
#include "analysis/ui/FraReadDialog.h"
#include "analysis/ui/ResponsePlots.h"
#include "base/AtomicFile.h"
#include "base/CFormat.h"
#include "base/FileChooser.h"
#include "base/Messenger.h"
#include "frame/ToolWindows.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "widgets/PngBytes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace {

// The offset buttons' icons: a triangle pointing up or down.
QIcon ArrowIcon(bool up) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0x40, 0x90));
    const QPolygonF triangle = up ? QPolygonF({{8, 3}, {14, 12}, {2, 12}})
                                  : QPolygonF({{2, 4}, {14, 4}, {8, 13}});
    painter.drawPolygon(triangle);
    return QIcon(pixmap);
}

QToolButton* OffsetButton(QWidget* parent, bool up, const char* name, int x, int y) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(ArrowIcon(up));
    button->setGeometry(x, y, 22, 22);
    return button;
}

QString OneDecimal(double value) {
    return std::isfinite(value) ? FormatC("%.1f", value) : QString();
}

constexpr std::array<const char*, 7> kGainItems{"  1", "  2", "  5", "10", "20", "40", "60"};
constexpr std::array<const char*, 5> kPhaseItems{"  45", "  90", "120", "180", "360"};

} // namespace

CFRADlg::CFRADlg(CommandActionContext& context, FraRun& run, QWidget* parent)
    : QDialog(parent), context_(context), run_(run) {
    setWindowTitle(QString::fromUtf8("机械特性分析"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildPlotArea());
    layout->addWidget(BuildSidePanel(), 0, Qt::AlignTop);
    reader_ = new CFRAReadDialog(this);
    ResetScales();
    if (run_.dataValid) {
        ShowAnalysis();
    }
}

CFRADlg::~CFRADlg() = default;

QWidget* CFRADlg::BuildPlotArea() {
    auto* area = new QWidget(this);
    plots_ = new ResponsePlots(area);
    plots_->setObjectName(QStringLiteral("plots"));
    const int buttonsX = ResponsePlots::kLeft + ResponsePlots::kWidth + 8;
    const int bottom = ResponsePlots::kHeight - 22;
    struct Offset {
        const char* name;
        bool up;
        int top;
        int* offset;
    };
    const Offset offsets[] = {
        {"gainUp", true, ResponsePlots::kGainTop, &gainOffset_},
        {"gainDown", false, ResponsePlots::kGainTop + bottom, &gainOffset_},
        {"phaseUp", true, ResponsePlots::kPhaseTop, &phaseOffset_},
        {"phaseDown", false, ResponsePlots::kPhaseTop + bottom, &phaseOffset_},
    };
    for (const Offset& o : offsets) {
        QToolButton* button = OffsetButton(area, o.up, o.name, buttonsX, o.top);
        int* offset = o.offset;
        const int change = o.up ? 1 : -1;
        connect(button, &QToolButton::clicked, this, [this, offset, change] {
            *offset += change;
            ApplyScales();
        });
    }
    // The scale lists beside the buttons, with the plots' unit labels.
    const int listX = buttonsX + 30;
    auto addScale = [&](const char* unit, const char* name, int top, const auto& items) {
        auto* label = new QLabel(QString::fromLatin1(unit), area);
        label->move(listX, top);
        auto* list = new QComboBox(area);
        list->setObjectName(QString::fromLatin1(name));
        for (const char* item : items) {
            list->addItem(QString::fromLatin1(item));
        }
        list->setGeometry(listX, top + 20, 64, 24);
        connect(list, &QComboBox::currentIndexChanged, this, [this] { ApplyScales(); });
        return list;
    };
    gainScale_ = addScale("dB/div", "gainScale", ResponsePlots::kGainTop + 60, kGainItems);
    phaseScale_ = addScale("deg/div", "phaseScale", ResponsePlots::kPhaseTop + 60, kPhaseItems);
    area->setFixedSize(listX + 70, plots_->height());
    return area;
}

QWidget* CFRADlg::BuildSidePanel() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* results = new QGroupBox(QString::fromUtf8("分析结果 - 共振/反共振频率"), panel);
    auto* grid = new QGridLayout(results);
    grid->addWidget(new QLabel(QString::fromUtf8("共振点"), results), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QString::fromUtf8("反共振点"), results), 0, 2, Qt::AlignCenter);
    const char* rows[] = {"频率(Hz)", "增益(dB)", "相位(度)"};
    const char* names[2][3] = {{"resonanceHz", "resonanceDb", "resonanceDeg"},
                               {"antiResonanceHz", "antiResonanceDb", "antiResonanceDeg"}};
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(rows[row]), results), row + 1, 0);
        for (int c = 0; c < 2; ++c) {
            auto* field = new QLineEdit(results);
            field->setObjectName(QString::fromLatin1(names[c][row]));
            field->setReadOnly(true);
            field->setFixedWidth(80);
            grid->addWidget(field, row + 1, c + 1);
            results_[c][row] = field;
        }
    }
    column->addWidget(results);

    showCursors_ = new QCheckBox(QString::fromUtf8("显示游标线"), panel);
    showCursors_->setObjectName(QStringLiteral("showCursors"));
    showCursors_->setEnabled(false);
    connect(showCursors_, &QCheckBox::toggled, this, [this](bool shown) {
        plots_->SetCursorsShown(shown);
        if (shown) {
            ShowCursorReadouts();
        }
    });
    connect(plots_, &ResponsePlots::cursorsMoved, this, &CFRADlg::ShowCursorReadouts);
    column->addWidget(showCursors_);

    filter_ = new QPushButton(QString::fromUtf8("共振抑制滤波器设置(&S)"), panel);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setEnabled(false);
    connect(filter_, &QPushButton::clicked, this, &CFRADlg::OnFilterSetting);
    column->addWidget(filter_);

    auto* settings = new QGroupBox(QString::fromUtf8("分析设置"), panel);
    auto* settingsRow = new QHBoxLayout(settings);
    settingsRow->addWidget(new QLabel(QString::fromUtf8("加载转矩(1-100%)"), settings));
    load_ = new QLineEdit(QStringLiteral("50"), settings);
    load_->setObjectName(QStringLiteral("load"));
    load_->setFixedWidth(60);
    settingsRow->addWidget(load_);
    column->addWidget(settings);

    auto* start = new QPushButton(QString::fromUtf8("开始(&T)"), panel);
    start->setObjectName(QStringLiteral("start"));
    connect(start, &QPushButton::clicked, this, &CFRADlg::OnStart);
    export_ = new QPushButton(QString::fromUtf8("导出..."), panel);
    export_->setObjectName(QStringLiteral("export"));
    export_->setEnabled(false);
    connect(export_, &QPushButton::clicked, this, &CFRADlg::OnExport);
    auto* close = new QPushButton(QString::fromUtf8("关闭(&C)"), panel);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* button : {start, export_, close}) {
        button->setAutoDefault(false);
        column->addWidget(button);
    }
    column->addStretch();
    return panel;
}

void CFRADlg::ResetScales() {
    gainOffset_ = kGainOffsetStart;
    phaseOffset_ = kPhaseOffsetStart;
    gainScale_->setCurrentIndex(kGainScaleStart);
    phaseScale_->setCurrentIndex(kPhaseScaleStart);
    ApplyScales();
}

void CFRADlg::ApplyScales() {
    plots_->SetGainScale(kGainScales[std::max(0, gainScale_->currentIndex())], gainOffset_);
    plots_->SetPhaseScale(kPhaseScales[std::max(0, phaseScale_->currentIndex())], phaseOffset_);
}

void CFRADlg::OnStart() {
    // A press while the status poll reads runs after its tick: the window may have gone by then.
    const QPointer<CFRADlg> self(this);
    RunPressed(context_.connection.Operations(), context_.windows.messenger, [self] {
        if (!self.isNull()) {
            self->StartNow();
        }
    });
}

void CFRADlg::StartNow() {
    DriveConnection& connection = context_.connection;
    FraMeasurement measurement(connection, context_.windows.profile, context_.windows.messenger);
    measurement.SetReadProgress(reader_);
    measurement.SetPollPump([] { QApplication::processEvents(); });
    if (connection.LinkUp()) {
        filter_->setEnabled(false);
    }
    const bool measured = measurement.Start(load_->text(), run_.record, [this] { ClearResults(); });
    if (!measured) {
        return;
    }
    run_.response = AnalyseResponse(run_.record, context_.windows.profile.modelCode);
    run_.dataValid = true;
    ShowAnalysis();
}

void CFRADlg::ClearResults() {
    run_.dataValid = false;
    resonanceHz_.reset();
    plots_->SetResponse(nullptr);
    ShowColumn(0, std::nullopt);
    ShowColumn(1, std::nullopt);
    export_->setEnabled(false);
    ResetScales();
}

void CFRADlg::ShowAnalysis() {
    const FrequencyResponse& response = run_.response;
    resonanceHz_ = response.resonanceBin
                       ? std::optional<double>(BinFrequency(*response.resonanceBin))
                       : std::nullopt;
    ShowColumn(0, response.resonanceBin);
    ShowColumn(1, response.antiResonanceBin);
    plots_->PlaceCursors(response.resonanceBin, response.antiResonanceBin);
    plots_->SetResponse(&response);
    showCursors_->setEnabled(true);
    filter_->setEnabled(true);
    export_->setEnabled(true);
    if (plots_->CursorsShown()) {
        ShowCursorReadouts();
    }
}

void CFRADlg::ShowCursorReadouts() {
    if (!run_.dataValid) {
        return;
    }
    const std::optional<int> first = plots_->Cursor1Bin();
    if (first) {
        resonanceHz_ = BinFrequency(*first);
    }
    ShowColumn(0, first);
    ShowColumn(1, plots_->Cursor2Bin());
}

void CFRADlg::ShowColumn(int column, std::optional<int> bin) {
    const bool shown = bin && *bin >= 1 && *bin <= kRecordLength;
    results_[column][0]->setText(shown ? OneDecimal(BinFrequency(*bin)) : QString());
    results_[column][1]->setText(shown ? OneDecimal(run_.response.gainDb[*bin]) : QString());
    results_[column][2]->setText(shown ? OneDecimal(run_.response.phaseDeg[*bin]) : QString());
}

void CFRADlg::OnFilterSetting() {
    setFocus();
    CEditCn013Dialog dialog(context_.connection, context_.windows.document,
                            context_.windows.profile, context_.windows.messenger,
                            FilterFrequencyStart(resonanceHz_), kFilterQualityStart, this);
    dialog.exec();
}

void CFRADlg::OnExport() {
    if (!run_.dataValid) {
        return;
    }
    const std::optional<QString> chosen = context_.windows.files.ChooseFileToSave(
        QString::fromUtf8("CSV 文档 (*.csv)|*.csv||"), QString());
    if (!chosen) {
        return;
    }
    const FraExportPaths paths = ExportPathsFor(*chosen);
    QString reason;
    bool ok = ExportMeasurementCsv(paths, run_.record, run_.response, &reason);
    ok = ok && WriteFileAtomically(paths.gainImage, PngBytes(plots_->GainImage()), &reason) &&
         WriteFileAtomically(paths.phaseImage, PngBytes(plots_->PhaseImage()), &reason);
    if (!ok) {
        Message message;
        message.text = QString::fromUtf8("无法保存文档：") + reason;
        message.icon = MessageIcon::Error;
        context_.windows.messenger.Show(message);
    }
}
