#pragma once

class MemorySerialBackend;
class SimulatedDrive;

// Makes `drive` the device behind an in-memory port. Every write goes to the drive; each reply
// becomes readable on the port's own clock once its latency and wire time have passed (paced
// replies byte by byte), so fault timing costs no real time. A dropped reply never arrives.
// Both must outlive the port's use. With pacing on, leave the port's writeDelayMs at 0: the
// drive already counts the request's wire time.
void AttachToMemoryPort(SimulatedDrive& drive, MemorySerialBackend& port);
