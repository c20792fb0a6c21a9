#pragma once

class CDefParaDialog;
class CParaGroupDialog;
struct ParameterAction;
struct ParameterOutcome;

// Shows what a parameter request did in the windows that are open (null: closed): the group
// window of the request's group or the custom table shows the values read, a custom table row
// whose single write failed is marked.
void ShowRequestOutcome(const ParameterAction& action, const ParameterOutcome& outcome,
                        CParaGroupDialog* groupWindow, CDefParaDialog* customWindow);
