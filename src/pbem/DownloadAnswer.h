// The steps of handling a download's answer that the manager's operations are built from.
#pragma once

#include "pbem/PBEMGameEvent.h"

class CPBEMGameStore;

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class [[nodiscard]] EAnswerRead{
    NotAnAnswer,  // the sanity token is missing: the answer is to be ignored
    WrongVersion, // a version this program does not read: no events
    Malformed,    // cut short: a counted length that cannot be right (the end of the text
                  // inside an event, among others) ended the reading early
    Read,         // read to the token that ends it, or to the end of the text between events
};

// Reads the events of an answer and appends each that is not of type "NewGame" to events,
// readable or not. Events read before a malformed part are kept.
EAnswerRead ReadAnswerEvents(std::string_view strAnswer,
                             std::vector<std::unique_ptr<CPBEMGameEvent>>& events);

// Writes the event's file unless it is on disk already. True when the event is safely on disk
// afterwards: written now, loaded from its file, or a file of its name holds its record already
// (written earlier, or by another run). Only then may its id count as known, or the server would
// never send again an event whose file could not be written.
[[nodiscard]] bool StoreEventFile(CPBEMGameEvent& event);

// Raises the highest event id of each entry (found by keyOf) to the ids of its events that are on
// disk (onDisk[i] for events[i]) and came with a complete answer (m_bIdCounts), but never to or
// past the id of one of its events that is not on disk: the server sends only events above the
// highest id, so the unsaved one comes again next time.
void RaiseHighestIds(CPBEMGameStore& store,
                     const std::vector<std::unique_ptr<CPBEMGameEvent>>& events,
                     const std::vector<bool>& onDisk,
                     const std::function<std::wstring(const CPBEMGameEvent&)>& keyOf);
