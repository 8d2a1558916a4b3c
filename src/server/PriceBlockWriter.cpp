#include "server/PriceBlockWriter.h"

namespace mvr {

void CPriceBlockWriter::Write(const DeltaBar& bar, int decimals) {
    if (blockOpen_ && decimals != sequence_.Decimals()) {
        EndBlock();
    }
    if (!blockOpen_) {
        BeginBlock(decimals);
    }
    Put(bar);
}

void CPriceBlockWriter::WriteOfDay(std::int32_t day, const DeltaBar& bar, int decimals) {
    if (blockOpen_ && (decimals != sequence_.Decimals() || day != day_)) {
        EndBlock();
    }
    if (!blockOpen_) {
        BeginBlock(decimals);
        if (day != day_) {
            sequence_.RestartDate();
            day_ = day;
        }
        connection_.Out().writeLong(day);
    }
    Put(bar);
}

void CPriceBlockWriter::Finish() {
    if (blockOpen_) {
        EndBlock();
    }
    connection_.writeEndOfSection(0);
}

void CPriceBlockWriter::BeginBlock(int decimals) {
    sequence_.BeginBlock(decimals);
    blockOpen_ = true;
}

void CPriceBlockWriter::Put(const DeltaBar& bar) {
    CDataOutputStream& out = connection_.Out();
    sequence_.Write(out, bar);
    if (out.ShouldSend()) {
        EndBlock();
    }
}

void CPriceBlockWriter::EndBlock() {
    connection_.writeBlockNK(static_cast<std::uint8_t>(sequence_.Decimals()));
    blockOpen_ = false;
}

} // namespace mvr
