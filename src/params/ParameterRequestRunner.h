#pragma once

#include "params/ParameterRequests.h"

#include <QString>

#include <functional>
#include <optional>

class DriveConnection;
class TransferProgress;
struct CustomTable;

// Carries out the parameter windows' requests and the copy commands through the drive
// operations and the connection's transfer: queued, under Busy, one at a time. It knows no
// window: whoever shows the windows hears each request's outcome.
class ParameterRequestRunner : public ParameterRequests {
public:
    using OutcomeHandler =
        std::function<void(const ParameterAction& action, const ParameterOutcome& outcome)>;
    // The window that shows a transfer's progress, asked for when a transfer starts (it may be
    // made only then); null shows none.
    using ProgressSource = std::function<TransferProgress*()>;

    // The custom table is read when a request runs: its rows decode the custom table's requests.
    ParameterRequestRunner(DriveConnection& connection, const CustomTable& customTable);

    void SetOutcomeHandler(OutcomeHandler handler) { outcome_ = std::move(handler); }
    void SetProgressSource(ProgressSource source) { progress_ = std::move(source); }

    // ParameterRequests
    void PostParameterRequest(const ParameterRequest& request) override;
    bool LinkUp() const override;

    // "复制至计算机(&C)..." and "复制至驱动器(&D)...": nothing while no drive is linked or an
    // operation runs; otherwise `chooseFile` names the file (nothing: the user cancelled) and the
    // whole parameter set goes from the drive into it, or from it to the drive. True when the
    // copy completed.
    using FileQuestion = std::function<std::optional<QString>()>;
    bool CopyDriveToFile(const FileQuestion& chooseFile);
    bool CopyFileToDrive(const FileQuestion& chooseFile);

    // Runs `job` with the transfer as an operation (now, or after the one that is running).
    void RunTransfer(const std::function<void(ParameterTransfer&)>& job);

private:
    void Run(const ParameterRequest& request);
    ParameterTransfer& Transfer();
    bool Copy(const FileQuestion& chooseFile, bool (ParameterTransfer::*copy)(const QString&));

    DriveConnection& connection_;
    const CustomTable& customTable_;
    OutcomeHandler outcome_;
    ProgressSource progress_;
};
