#pragma once

// One request as a handler sees it: the connection (with the block streams of
// both directions), the request header, the data it answers from, and the
// rules for ending answer sections and blocks. A handler reads the body from
// the connection, writes the answer to it and notes its result for the log;
// a malformed body is a CIOException, which ends only this connection.

#include "core/net/ClientRequest.h"
#include "core/net/InstrumentRecord.h"
#include "core/net/RequestHeader.h"
#include "server/ServeOptions.h"
#include "server/ServerData.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mvr {

class CRequestContext {
public:
    CRequestContext(CClientRequest& connection, const CServerData& data,
                    const RequestHeader& header, const FaultOptions& faults)
        : connection_(connection), data_(data), header_(header), faults_(faults) {}

    CClientRequest& Connection() { return connection_; }
    CDataOutputStream& Out() { return connection_.Out(); }
    CDataInputStream& In() { return connection_.In(); }
    const CServerData& Data() const { return data_; }
    const RequestHeader& Header() const { return header_; }

    // Sends the block being built when `bytes` more might not fit behind its
    // position, so that no record straddles two blocks.
    void MakeRoom(std::int32_t bytes);
    // Sends what the block holds and ends the section with `marker` (0 for a
    // normal end, -1 database error, -2 too many results), or with the
    // injected marker when one is set. Returns the marker sent.
    std::int32_t EndSection(std::int32_t marker = 0);
    // The status marker a fault option puts in place of every normal end; 0
    // for none. Answers without sections send it where their answer begins.
    std::int32_t InjectedMarker() const { return faults_.sectionMarker; }

    // Instrument records, block by block; the last of them stops after item 53.
    void WriteRecords(const std::vector<const ServerInstrument*>& instruments);
    // The same for `count` records that `recordAt(i)` builds one at a time,
    // so that long answers are never held in memory as a whole.
    void WriteRecords(std::size_t count, const std::function<WATCH(std::size_t)>& recordAt);

    // What the log line says of the answer; "ok" unless a handler says more.
    void SetResult(std::string result) { result_ = std::move(result); }
    const std::string& Result() const { return result_; }

private:
    CClientRequest& connection_;
    const CServerData& data_;
    const RequestHeader& header_;
    const FaultOptions& faults_;
    std::string result_ = "ok";
};

} // namespace mvr
