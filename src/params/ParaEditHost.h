#pragma once

#include <functional>

class ParameterTransfer;

// What the parameter editor needs from the main view: the link state, its drive transfers run
// under the session's Busy flag, and saving the document through the File commands.
class ParaEditHost {
public:
    virtual ~ParaEditHost() = default;
    virtual bool EditorLinkUp() const = 0;
    // Runs `job` under Busy with the view's transfer (now, or after the operation that runs).
    virtual void RunEditorTransfer(std::function<void(ParameterTransfer&)> job) = 0;
    // Saves the document as File Save does; false when it was not saved.
    virtual bool SaveEditorDocument() = 0;
};
