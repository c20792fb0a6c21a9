#pragma once

#include <array>

// The IDs of the string table's texts that code names, one name per ID. Texts reached only through
// a data table (window titles, parameter names, help runs, command prompts) keep their IDs there.
namespace StringId {

// Documents and the program shell.
inline constexpr int kDocumentTemplate = 128; // title, untitled name, filter and extension
inline constexpr int kWebAddress = 129;
inline constexpr int kHelpNotFound = 168;
inline constexpr int kToolBarTitle = 169;
inline constexpr int kOpenFilter = 172;
inline constexpr int kSaveFilter = 173;
inline constexpr int kSaveQuestion = 223; // "参数内容有变更，是否要保存？"
inline constexpr int kSaveCaption = 224;  // "保存文档"

// Status bar panes: labels and fixed texts.
inline constexpr int kServoStateLabel = 102;  // "Servo 状态: "
inline constexpr int kVersionLabel = 103;     // "版本: "
inline constexpr int kServoNotLinked = 104;   // "Servo 未连线"
inline constexpr int kInfoLabel = 121;        // "信息: "
inline constexpr int kNoControlMode = 122;    // "--- 控制"
inline constexpr int kModelLabel = 123;       // "型号: "
inline constexpr int kMotorLabel = 124;       // "电机型式:"
inline constexpr int kFaultLabel = 125;       // "故障: "
inline constexpr int kControlSuffix = 148;    // " 控制"
inline constexpr int kDisconnectedWord = 813; // "断开"
// The eight panes' texts before the first status read, left to right.
inline constexpr std::array<int, 8> kStatusPanes{kServoStateLabel, kNoControlMode, kVersionLabel,
                                                 kServoNotLinked,  kModelLabel,    kMotorLabel,
                                                 kInfoLabel,       kFaultLabel};

// The link: its messages and the connect commands.
inline constexpr int kLinkError = 130;         // "通讯错误！！"
inline constexpr int kCannotOpenPort = 131;    // "无法打开COM端口！"
inline constexpr int kLinkCaption = 132;       // "通讯信息"
inline constexpr int kNoValidAnswer = 145;     // "计算机和伺服驱动器之间通讯错误。"
inline constexpr int kConnectCaption = 810;    // "连线(&C)"
inline constexpr int kDisconnectCaption = 811; // "断开(&D)"

// Transfers and the parameter windows.
inline constexpr int kWriteSuccess = 134;         // "写入参数成功！！"
inline constexpr int kWriteCaption = 135;         // "写入讯息"
inline constexpr int kReadControlParameter = 136; // "读取控制参数：Cn0%02d"; 137..139 T, S, P
inline constexpr int kErrorCaption = 140;         // "错误"
inline constexpr int kWriteControlParameter = 141; // "写入控制参数：Cn0%02d"; 142..144 T, S, P
inline constexpr int kNothingSelected = 146;       // "没有参数被选择！"
inline constexpr int kRestartReminder = 167;       // "请重新启动伺服驱动器！！..."
inline constexpr int kDefaultsQuestion = 202;      // "您想要将参数设定为默认值吗？"
inline constexpr int kDefaultsCaption = 203;       // "设定默认值"
inline constexpr int kWriteTitle = 213;            // "写入"
inline constexpr int kWritingAll = 214;            // "写入参数中 ... "
inline constexpr int kReadTitle = 215;             // "读取"
inline constexpr int kReadingAll = 216;            // "读取参数中 ... "
inline constexpr int kCompareCaption = 217;        // "比较"
inline constexpr int kCompareDone = 218;           // "比较参数完成！"
inline constexpr int kReadDriveQuestion = 221; // "您想要读取伺服驱动器的参数吗？"
inline constexpr int kReadDriveCaption = 222;  // "读取参数"

// Column headers: "代号", "参数名称", ... "默认值" are 250..255; the compare list adds two.
inline constexpr int kCodeHeader = 250;
inline constexpr int kNameHeader = 251;
inline constexpr int kReadValueHeader = 257;      // "读取值"
inline constexpr int kEditValueHeader = 258;      // "编辑值"
inline constexpr int kEncoderPulsesDefault = 259; // "编码器一转脉冲数"

// First names of the monitor codes (status display, diagnostics, alarm history).
inline constexpr int kFirstStatusDisplayName = 301;
inline constexpr int kFirstDiagnosticsName = 351;
inline constexpr int kFirstAlarmHistoryName = 361;

// The monitors: control mode names of the diagnostics, the alarm history's read and clear.
inline constexpr int kTorqueModeName = 355;           // "转矩(T)"
inline constexpr int kSpeedModeName = 356;            // "速度(S)"
inline constexpr int kPulsePositionModeName = 357;    // "位置(Pe)"
inline constexpr int kInternalPositionModeName = 358; // "位置(Pi)"
inline constexpr int kClearAlarmCaption = 147;        // "清除异常警报履历信息"
inline constexpr int kAlarmHistoryReading = 166;      // "读取异常警报履历参数: "

// Alarm texts: no alarm, then one text per alarm bit.
inline constexpr int kNoAlarm = 380;          // "无异常警报发生。"
inline constexpr int kFirstAlarm = 381;       // bit 0; bit i uses 381 + i up to bit 14
inline constexpr int kOverVoltageAlarm = 382; // bit 15 reports as over-voltage, like bit 1

// Help of the internal positions: Pn317 has its own text, the others share one per kind.
inline constexpr int kFirstRevolutionsHelp = 667;
inline constexpr int kPulsesHelp = 668;
inline constexpr int kSpeedHelp = 669;
inline constexpr int kRevolutionsHelp = 670;

// Contact function lines, shared by the contacts' help and their editors.
inline constexpr int kDiFunctionLines = 678; // 678..705, functions 0x01..0x1C
inline constexpr int kDiLevelLines = 708;    // 708, 709
inline constexpr int kDoFunctionLines = 711; // 711..718, functions 0x01..0x08
inline constexpr int kDoLevelLines = 720;    // 720, 721

// Drive sizes and the first motor model name of each size's block.
inline constexpr int kDriveSize15 = 910; // "KVDM15"
inline constexpr int kDriveSize20 = 911;
inline constexpr int kDriveSize30 = 912;
inline constexpr int kDriveSize50 = 913;
inline constexpr int kDriveSize75 = 914;
inline constexpr int kMotorNames15 = 916;
inline constexpr int kMotorNames20 = 930;
inline constexpr int kMotorNames30 = 947;
inline constexpr int kMotorNames50 = 970;
inline constexpr int kMotorNames75 = 984;

} // namespace StringId
