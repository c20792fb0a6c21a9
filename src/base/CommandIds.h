#pragma once

// Identifiers of the menu and toolbar commands. The command table (the program shell) holds what
// each does; a tool window's own folder names the command that opens it.
namespace Command {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;       // with the print dialog
inline constexpr int FilePrintDirect = 57608; // straight to the default printer
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileExportPdf = 32851;
inline constexpr int FileMru1 = 57616; // 57616..57619: the recent files
inline constexpr int AppExit = 57665;
inline constexpr int AppAbout = 57664;
inline constexpr int HelpContents = 178;
inline constexpr int CopyToDrive = 179;
inline constexpr int CopyToComputer = 180;
inline constexpr int StatusMonitor = 155;
inline constexpr int Diagnostics = 156;
inline constexpr int AlarmHistory = 157;
inline constexpr int Trace = 181;
inline constexpr int Jog = 158;
inline constexpr int AutoTuning = 159;
inline constexpr int AutoOffset = 160;
inline constexpr int ParameterEditor = 32776;
inline constexpr int OnlineEditing = 32777;
inline constexpr int ContactPlanning = 32788;
inline constexpr int PositionPlanning = 32799;
inline constexpr int MachineAnalysis = 32801;
inline constexpr int Connect = 32774;
inline constexpr int Disconnect = 32775;
inline constexpr int PortSettings = 161;
inline constexpr int ControlParameters = 151;
inline constexpr int TorqueParameters = 152;
inline constexpr int SpeedParameters = 153;
inline constexpr int PositionParameters = 154;
inline constexpr int CustomParameters = 188;
inline constexpr int SimulatedDrive = 32850; // the simulator's window, in "--simulate" only
} // namespace Command
