#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// What the drive is told to record: two analog quantities, the contacts shown, the sampling
// interval and the trigger. The drive always records four channels of kPoints samples.
struct TraceSettings {
    static constexpr int kPoints = 512;
    static constexpr int kMinIntervalCode = 1;
    static constexpr int kMaxIntervalCode = 1250;
    static constexpr int kQuantityCount = 8; // data 1 / data 2 selections 0..7
    static constexpr int kDiCount = 13;      // DI-1..DI-13
    static constexpr int kDoCount = 4;       // DO-1..DO-4
    static constexpr int kTriggerModeCount = 16;
    static constexpr int kContactCount = 20; // Hn501 onwards

    int32_t intervalCode = 1;                   // sampling interval in units of 100 µs
    int32_t data1 = 0;                          // quantity of channel 1
    int32_t data2 = 1;                          // quantity of channel 2
    int32_t diSelection = 0;                    // 0 = DI-1
    int32_t doSelection = 0;                    // 0 = DO-1
    std::array<int32_t, 4> colours{0, 2, 3, 4}; // data 1, data 2, DI, DO: colour table indexes
    int32_t triggerMode = 0;
    int32_t triggerLevel = 0; // rpm (modes 1..3) or % (mode 4)
    // The contact function parameters, so that DI/DO names survive without the document.
    std::array<int32_t, kContactCount> contactFunctions{};

    int32_t IntervalUs() const { return intervalCode * 100; }
    float IntervalMs() const { return static_cast<float>(IntervalUs()) / 1000.0F; }
    float TotalTimeMs() const { return static_cast<float>(kPoints) * IntervalMs(); }

    // The dialog's rules: a value outside its range leaves the previous one and returns false.
    bool SetIntervalCode(int32_t code);
    bool SetTriggerLevel(int32_t level);
    // Modes 1..3 keep the level (0..3000 rpm); mode 4 and the modes without a level reset it to 0.
    void SetTriggerMode(int32_t mode);
};

// The largest trigger level of a mode; 0 for the modes that take no level.
int32_t TriggerLevelMax(int32_t mode);
// "[rpm]  (0~3000)", "[%]  (0~300)" or empty.
QString TriggerLevelUnitText(int32_t mode);

// Configuration word of page '7' 0xCD: data 2 × 512 + data 1 × 2 + trigger mode × 4096.
int32_t TraceConfigurationWord(const TraceSettings& settings);
// The trigger level as the drive takes it; `maxMotorSpeed` is N in rpm.
int32_t TriggerLevelRaw(const TraceSettings& settings, int32_t maxMotorSpeed);

// One word written to page '7' at `location`.
struct TraceWrite {
    int location;
    int32_t value;
};
inline constexpr char kTracePage = '7';
inline constexpr int kTraceIntervalLocation = 0xD6;
inline constexpr int kTraceConfigLocation = 0xCD;
inline constexpr int kTraceLevelLocation = 0xD8;
inline constexpr int kTraceStateLocation = 0xD0; // write 1 to start; reads 2 when finished
inline constexpr int32_t kTraceFinishedState = 2;

// The set-up writes in their order: interval code, configuration word, trigger level.
std::vector<TraceWrite> TraceSetupWrites(const TraceSettings& settings, int32_t maxMotorSpeed);
// The settings as a drive decodes them from what it was written (the inverse of the above for
// the configuration word).
void DecodeConfigurationWord(int32_t word, int32_t* data1, int32_t* data2, int32_t* triggerMode);

// Quantities and their display conversion, rounded half away from zero on a single-precision
// intermediate. Selection 8 is a contact word (low 16 bits).
inline constexpr int kContactWordQuantity = 8;
int32_t ConvertTraceSample(int32_t selection, int16_t raw, int32_t maxMotorSpeed);
QString QuantityText(int32_t selection);
// "rpm", "%", "pulse", "degree"; empty outside 0..7.
QString QuantityUnit(int32_t selection);
// "速度命令 [rpm]"
QString QuantityLegend(int32_t selection);

// Colour table index -> 0x00BBGGRR; any other index is white.
uint32_t TraceColourRef(int32_t index);

// "DI-3 - " + the function name of input contact `contact` (0-based), named by its parameter.
QString DiLegendText(const std::array<int32_t, TraceSettings::kContactCount>& functions,
                     int contact);
QString DoLegendText(const std::array<int32_t, TraceSettings::kContactCount>& functions,
                     int contact);
// The trigger list's text of a mode; modes above 15 read as "None".
QString TriggerModeText(int32_t mode,
                        const std::array<int32_t, TraceSettings::kContactCount>& functions);
// " 1500 rpm", " 30 %" or empty; a level outside the mode's range shows as 0.
QString TriggerLevelText(int32_t mode, int32_t level);

// The wait for the recording: 100 ms ticks expected and the text shown at each tick.
int32_t ExpectedWaitTicks(int32_t intervalUs, int32_t points);
double RecordingSeconds(int32_t intervalUs, int32_t points);
// "12.300/64.000 秒"
QString WaitProgressText(int32_t ticks, int32_t intervalUs, int32_t points);

// The wait dialog's clock. Each 100 ms tick counts; every fourth tick asks for a look at the
// drive's state, and once the expected recording time has passed the count starts again from 0
// with a look at once, so a drive that is slow to trigger is still watched.
class TraceWait {
public:
    TraceWait(int32_t intervalUs, int32_t points);
    // One tick: true when the drive's state should be read now.
    bool Tick();
    int32_t Ticks() const { return ticks_; }
    // The text to show after the tick; empty when the count has just started again.
    QString Text() const;

private:
    int32_t intervalUs_;
    int32_t points_;
    int32_t expected_;
    int32_t ticks_ = 0;
};
