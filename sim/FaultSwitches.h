#pragma once

#include <cstdint>
#include <random>

// Faults the simulated drive produces on request, all drawn from one seeded generator so that a
// run repeats exactly: the same seed and the same requests give the same faults.
struct FaultSettings {
    double drop = 0.0;    // probability that a reply is not sent (the request is still carried out)
    double corrupt = 0.0; // probability that a reply's check value is damaged
    double refuse = 0.0;  // probability that a command is answered '!' and not carried out
    int latencyMs = 0;    // delay before each reply
    bool pace = false;    // spend the wire time of request and reply: 10 bits a byte at `baud`
    int baud = 9600;
    uint32_t seed = 1;
    // Answer this many requests, then none (negative: never hang up).
    int64_t hangUpAfter = -1;
};

// The draws for one request. Three numbers are drawn for every request, whatever the
// probabilities, so that changing one probability does not shift the draws of the others.
class FaultDice {
public:
    explicit FaultDice(uint32_t seed = 1) : generator_(seed) {}

    struct Roll {
        bool refuse;
        bool drop;
        bool corrupt;
    };

    Roll Draw(const FaultSettings& settings) {
        const double refuse = Uniform();
        const double drop = Uniform();
        const double corrupt = Uniform();
        return {refuse < settings.refuse, drop < settings.drop, corrupt < settings.corrupt};
    }

private:
    // [0, 1) from the top 24 bits: the same on every standard library (mt19937's output is
    // fixed by the language; its distributions are not).
    double Uniform() { return static_cast<double>(generator_() >> 8) / 16777216.0; }

    std::mt19937 generator_;
};
