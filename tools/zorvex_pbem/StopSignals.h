// SIGTERM and SIGINT turned into a request to stop, readable on a descriptor: the handler only
// notes it, so the watcher ends where it chooses, never in the middle of storing. The previous
// handlers come back when the object goes. One at a time.
#pragma once

#include <chrono>

class CStopSignals
{
public:
    CStopSignals();
    ~CStopSignals();
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    bool Ok() const { return m_bOk; }
    bool Requested() const;
    // Readable (and staying so) once a stop was requested.
    int Fd() const;
    // Waits for a stop request for at most this long; true when one came.
    bool WaitFor(std::chrono::milliseconds wait) const;

private:
    bool m_bOk = false;
};
