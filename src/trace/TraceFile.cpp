#include "trace/TraceFile.h"

#include "base/AtomicFile.h"
#include "base/BoundedRead.h"
#include "base/SystemErrors.h"
#include "trace/TraceSettingsCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int kScaleEntries = 15;
// Where the version line must name the program: within this many characters after its ';'.
constexpr qsizetype kVersionSpan = 24;
// The largest file the format allows: the two text lines, the fixed fields and four channels of
// the longest trace, with room to spare for the lines. A longer file is refused unread.
constexpr qint64 kMaxTraceFileBytes =
    4096 + 4 * (64 + TraceSettings::kContactCount + TraceData::kChannels * TraceData::kCapacity);

void Put(QByteArray& out, int32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void PutFloat(QByteArray& out, float value) {
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Put(out, bits);
}

void PutChannel(QByteArray& out, const std::vector<int32_t>& channel, int32_t points) {
    for (int32_t k = 0; k <= points; ++k)
        Put(out, channel[static_cast<size_t>(k)]);
}

// Reads fields in order; once a read runs past the end every later one fails as well.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : bytes_(bytes) {}

    // One text line without its line feed; nothing when no line feed follows.
    std::optional<QByteArrayView> Line() {
        const qsizetype end = bytes_.indexOf('\n', pos_);
        if (end < 0)
            return std::nullopt;
        const QByteArrayView line = bytes_.sliced(pos_, end - pos_);
        pos_ = end + 1;
        return line;
    }
    bool Int(int32_t* value) {
        if (bytes_.size() - pos_ < 4)
            return false;
        *value = qFromLittleEndian<int32_t>(bytes_.data() + pos_);
        pos_ += 4;
        return true;
    }
    bool Float(float* value) {
        int32_t bits = 0;
        if (!Int(&bits))
            return false;
        std::memcpy(value, &bits, sizeof bits);
        return true;
    }
    bool Channel(std::vector<int32_t>& channel, int32_t points) {
        for (int32_t k = 0; k <= points; ++k)
            if (!Int(&channel[static_cast<size_t>(k)]))
                return false;
        return true;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

bool VersionLineAccepted(QByteArrayView line) {
    const qsizetype semicolon = line.indexOf(';');
    return semicolon >= 0 && line.first(std::min(line.size(), semicolon + kVersionSpan))
                                 .contains(QByteArrayView("Orvan Servo"));
}

bool Fail(QString* error, const QString& why) {
    if (error != nullptr)
        *error = why;
    return false;
}

// The fields after the two lines, into `r`; false with the reason at the first bad one.
bool ReadFields(FieldReader& in, TraceRecord& r, QString* error) {
    TraceSettings& s = r.settings;
    TraceAxis& a1 = r.axes[0];
    TraceAxis& a2 = r.axes[1];
    const QString truncated = QStringLiteral("文件不完整");
    if (!in.Int(&s.data1) || !in.Int(&s.data2) || !in.Int(&s.colours[0]) ||
        !in.Int(&s.colours[1]) || !in.Float(&r.intervalUs) || !in.Int(&s.intervalCode) ||
        !in.Int(&r.points))
        return Fail(error, truncated);
    if (r.points < 0 || r.points >= TraceData::kCapacity - 1)
        return Fail(error, QStringLiteral("取样点数 %1 超出范围").arg(r.points));
    if (!std::isfinite(r.intervalUs) || r.intervalUs <= 0.0F)
        return Fail(error, QStringLiteral("取样间隔无效"));
    if (!in.Int(&a1.scaleIndex) || !in.Int(&a2.scaleIndex) || !in.Int(&r.timeIndex) ||
        !in.Int(&a1.units) || !in.Int(&a2.units) || !in.Int(&a1.offsetPosition) ||
        !in.Int(&a1.topValue) || !in.Int(&a2.offsetPosition) || !in.Int(&a2.topValue) ||
        !in.Int(&r.scrollPosition) || !in.Int(&r.stateWord))
        return Fail(error, truncated);
    for (const TraceAxis& axis : r.axes)
        if (axis.scaleIndex < 0 || axis.scaleIndex >= kScaleEntries || axis.units <= 0)
            return Fail(error, QStringLiteral("垂直刻度无效"));
    if (r.timeIndex < 0 || r.scrollPosition < 0)
        return Fail(error, QStringLiteral("时间刻度无效"));
    if (!in.Channel(r.data.channels[0], r.points) || !in.Channel(r.data.channels[1], r.points) ||
        !in.Int(&s.diSelection) || !in.Int(&s.doSelection) || !in.Int(&s.colours[2]) ||
        !in.Int(&s.colours[3]) || !in.Int(&r.diRow) || !in.Int(&r.doRow))
        return Fail(error, truncated);
    for (int32_t& value : s.contactFunctions)
        if (!in.Int(&value))
            return Fail(error, truncated);
    if (!in.Channel(r.data.channels[2], r.points) || !in.Channel(r.data.channels[3], r.points) ||
        !in.Int(&s.triggerMode) || !in.Int(&s.triggerLevel))
        return Fail(error, truncated);
    if (const auto problem = FirstBadTraceSetting(s))
        return Fail(error, TraceFieldProblemText(*problem));
    return true;
}

// What the window does with lane rows it cannot show. The settings are not mended: "START" sends
// them to the drive, so a file with one out of range is refused.
void Normalize(TraceRecord& r) {
    if (r.diRow < 1 || r.diRow > 9)
        r.diRow = 8;
    if (r.doRow < 1 || r.doRow > 9)
        r.doRow = 9;
}

QString CannotOpenTraceText(const QString& path, const QString& reason) {
    return QStringLiteral("无法打开文档 %1。\n\n%2").arg(QFileInfo(path).fileName(), reason);
}

} // namespace

void TraceRecord::ResetDisplay() {
    intervalUs = static_cast<float>(settings.IntervalUs());
    points = TraceSettings::kPoints;
    axes = {};
    timeIndex = 0;
    scrollPosition = 0;
    diRow = 8;
    doRow = 9;
}

QByteArray StoreTrace(const TraceRecord& r) {
    const TraceSettings& s = r.settings;
    QByteArray out;
    out.reserve(64 + 4 * (48 + 4 * (r.points + 1)));
    out.append(kTraceVersionLine).append('\n');
    out.append(kTraceSectionLine).append('\n');
    for (int32_t v : {s.data1, s.data2, s.colours[0], s.colours[1]})
        Put(out, v);
    PutFloat(out, r.intervalUs);
    for (int32_t v :
         {s.intervalCode, r.points, r.axes[0].scaleIndex, r.axes[1].scaleIndex, r.timeIndex,
          r.axes[0].units, r.axes[1].units, r.axes[0].offsetPosition, r.axes[0].topValue,
          r.axes[1].offsetPosition, r.axes[1].topValue, r.scrollPosition, r.stateWord})
        Put(out, v);
    PutChannel(out, r.data.channels[0], r.points);
    PutChannel(out, r.data.channels[1], r.points);
    for (int32_t v : {s.diSelection, s.doSelection, s.colours[2], s.colours[3], r.diRow, r.doRow})
        Put(out, v);
    for (int32_t v : s.contactFunctions)
        Put(out, v);
    PutChannel(out, r.data.channels[2], r.points);
    PutChannel(out, r.data.channels[3], r.points);
    Put(out, s.triggerMode);
    Put(out, s.triggerLevel);
    return out;
}

bool LoadTrace(QByteArrayView bytes, TraceRecord& record, QString* error) {
    FieldReader in(bytes);
    const auto version = in.Line();
    if (!version || !VersionLineAccepted(*version))
        return Fail(error, QStringLiteral("这不是 Orvan Servo 的追踪波形资料文档"));
    const auto section = in.Line();
    if (!section || *section != QByteArrayView(kTraceSectionLine))
        return Fail(error, QStringLiteral("缺少 [Trace Data] 一行"));
    // Read into a copy: a file that fails half-way must not leave half a trace behind.
    auto loaded = std::make_unique<TraceRecord>(record);
    loaded->data.Clear();
    if (!ReadFields(in, *loaded, error))
        return false;
    Normalize(*loaded);
    record = std::move(*loaded);
    return true;
}

bool HasTraceFileExtension(const QString& path) {
    return QFileInfo(path).suffix().toUpper() == QLatin1String("TRD");
}

bool OpenTraceFile(const QString& path, TraceRecord& record, QString* error) {
    if (!HasTraceFileExtension(path))
        return Fail(error, CannotOpenTraceText(
                               path, QStringLiteral("追踪波形资料文档的扩展名必须是 .trd。")));
    QByteArray bytes;
    FileReadError readError;
    if (!ReadFileWithLimit(path, kMaxTraceFileBytes, &bytes, &readError))
        return Fail(error, CannotOpenTraceText(path, FileReadErrorText(readError)));
    QString why;
    if (!LoadTrace(bytes, record, &why))
        return Fail(error,
                    CannotOpenTraceText(path, QStringLiteral("文件已损坏或不完整：%1。").arg(why)));
    return true;
}

bool SaveTraceFile(const QString& path, const TraceRecord& record, QString* error) {
    QString reason;
    if (!HasTraceFileExtension(path))
        reason = QStringLiteral("追踪波形资料文档的扩展名必须是 .trd。");
    if (!reason.isEmpty() || !WriteFileAtomically(path, StoreTrace(record), &reason))
        return Fail(error, QStringLiteral("无法保存文档 %1：%2").arg(path, reason));
    return true;
}

QByteArray TraceCsv(const TraceRecord& r) {
    const TraceSettings& s = r.settings;
    QString text = QStringLiteral("time [ms],%1,%2,DI word,DO word\n")
                       .arg(QuantityLegend(s.data1), QuantityLegend(s.data2));
    const auto& c = r.data.channels;
    for (int32_t k = 0; k < r.points; ++k) {
        const auto i = static_cast<size_t>(k);
        const double ms = static_cast<double>(k) * static_cast<double>(r.intervalUs) / 1000.0;
        text += QStringLiteral("%1,%2,%3,%4,%5\n")
                    .arg(QString::number(ms, 'g', 10))
                    .arg(c[0][i])
                    .arg(c[1][i])
                    .arg(c[2][i])
                    .arg(c[3][i]);
    }
    return text.toUtf8();
}
