#pragma once

class MemorySerialBackend;
class SimulatedDrive;

// Makes `drive` the device behind an in-memory port. Every write goes to the drive; each reply
// becomes readable on the port's own clock once its latency and wire time have passed (paced
// replies byte by byte), so fault timing costs no real time. A dropped reply never arrives.
// Both must outlive the port's use. With pacing on, leave the port's writeDelayMs at 0: the
// drive already counts the request's wire time. With `machineFollowsPort` the drive's machine
// moves on the port's clock (advanced to the port's time before each request is answered);
// otherwise it moves only when the drive is advanced.
// With `honestLine` the drive garbles its replies while the port's line format (baud rate, data
// bits, parity, stop bits) is not the drive's own (DriveLine, at the drive's baud rate).
void AttachToMemoryPort(SimulatedDrive& drive, MemorySerialBackend& port,
                        bool machineFollowsPort = false, bool honestLine = false);
