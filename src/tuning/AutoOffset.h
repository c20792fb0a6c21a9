#pragma once

class DriveConnection;
class Messenger;

// "自动偏移调整(&O)...": asks whether to run the analog command offset adjustment (the input must
// be shorted to analog ground first); on Yes writes the one start word and tells the outcome.
// No sends nothing; without a drive nothing is sent and the link error is shown.
void RunAutoOffset(DriveConnection& connection, Messenger& messenger);
