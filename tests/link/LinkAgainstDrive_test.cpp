// The system's own drive transactions (ModbusLink over an in-memory port) against the simulated
// drive: the two sides agree on every frame, and the drive's delays show on the port's clock.
// Retries after faults are the link's own business and are tested against scripted replies.

#include "link/Frames.h"
#include "link/MemorySerialBackend.h"
#include "link/ModbusLink.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class LinkAgainstDrive : public ::testing::Test {
protected:
    void Connect(const DriveLinkOptions& options = {}) {
        drive = std::make_unique<SimulatedDrive>(DriveIdentity{}, options);
        auto backend = std::make_unique<MemorySerialBackend>();
        port = backend.get();
        AttachToMemoryPort(*drive, *port);
        link = std::make_unique<ModbusLink>(std::move(backend));
        ASSERT_EQ(link->Open(QStringLiteral("COM1")), 0u);
    }

    ExchangeResult Read(char page, int location, int32_t* word) {
        uint8_t request[kReadCommandLength];
        uint8_t reply[kReadReplyLength] = {};
        BuildReadCommand(request, page, location);
        const auto result = link->ExchangeCommand(request, sizeof request, reply, sizeof reply);
        if (result == ExchangeResult::Good) {
            DecodeWord(reply + 1, word);
        }
        return result;
    }

    ExchangeResult Write(char page, int location, int32_t value) {
        uint8_t request[kWriteCommandLength];
        uint8_t reply[kWriteReplyLength] = {};
        BuildWriteCommand(request, page, location, value);
        return link->ExchangeCommand(request, kWriteCommandLength, reply, kWriteReplyLength);
    }

    std::unique_ptr<SimulatedDrive> drive;
    MemorySerialBackend* port = nullptr;
    std::unique_ptr<ModbusLink> link;
};

TEST_F(LinkAgainstDrive, ProbeAndMailboxFetch) {
    Connect();
    drive->SetInputContacts(0x0155);
    int32_t word = 0;
    EXPECT_EQ(Read('6', 0xCB, &word), ExchangeResult::Good);
    EXPECT_EQ(word, 0x0155);
    // Cn030 through the mailbox.
    EXPECT_EQ(Write('5', 0x73, 0x0B), ExchangeResult::Accepted);
    EXPECT_EQ(Write('5', 0x70, 2), ExchangeResult::Accepted);
    EXPECT_EQ(Read('5', 0x74, &word), ExchangeResult::Good);
    EXPECT_EQ(word, 0x0121);
    EXPECT_EQ(port->Now(), 0) << "a healthy drive costs no port time";
}

TEST_F(LinkAgainstDrive, LatencyAndPacingShowOnThePortClock) {
    Connect();
    FaultSettings faults;
    faults.latencyMs = 30;
    faults.pace = true;
    faults.baud = 9600;
    drive->SetFaults(faults);
    int32_t word = 0;
    EXPECT_EQ(Read('5', 0x47, &word), ExchangeResult::Good);
    EXPECT_EQ(word, 3000);
    // 30 ms, then 13 bytes of 1.041 ms.
    EXPECT_GE(port->Now(), 30 + 13);
    EXPECT_LE(port->Now(), 30 + 15);
    EXPECT_EQ(port->Writes().size(), 1);
}

TEST_F(LinkAgainstDrive, ModbusRtuAndAsciiReadsAndExceptions) {
    for (const bool ascii : {false, true}) {
        DriveLinkOptions options;
        options.rs485 = true;
        options.station = 7;
        options.frameFormat = ascii ? 4 : 7;
        Connect(options);
        uint8_t request[32];
        uint8_t reply[32] = {};
        auto exchange = [&](int reg) {
            const int replyLength = BuildReadRegisters(request, 7, reg, 1, ascii);
            return ascii ? link->ExchangeAscii(request, kAsciiRequestLength, reply, replyLength, 1)
                         : link->ExchangeRtu(request, kRtuRequestLength, reply, replyLength, 400);
        };
        ASSERT_EQ(exchange(0x105), ExchangeResult::Good) << (ascii ? "ASCII" : "RTU");
        int32_t word = 0;
        if (ascii) {
            ASSERT_TRUE(DecodeWord(reply + 7, &word));
        } else {
            word = (reply[3] << 8) | reply[4];
        }
        EXPECT_EQ(word, 546) << (ascii ? "ASCII" : "RTU") << ": Tn105 at 100 rpm";
        EXPECT_EQ(exchange(0x346), ExchangeResult::Exception) << (ascii ? "ASCII" : "RTU");
    }
}

} // namespace
