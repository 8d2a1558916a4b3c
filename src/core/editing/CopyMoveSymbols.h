#pragma once

// Copy and move of symbols from one export directory to another: each
// symbol's index entry and price records are written into the target in the
// target's own format; a move then removes the symbols and their price files
// from the source. This is the dialog's model: its texts, its buttons and the
// procedure they run.

#include "core/config/ExportInfo.h"
#include "core/formats/ExportSymbolInfo.h"
#include "core/net/RunFlag.h"
#include "core/update/FolderNotWritten.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

inline constexpr const char* kCopyMoveCaption = "Copy/Move Symbols";
inline constexpr const char* kLinkedTargetMessage =
    "The selected directory is linked to a Marvane Realtime Catalog and the content can not be "
    "modifyed";

// Why a symbol was not copied (and, on a move, stayed in the source).
enum class CopyRefusal {
    SourceUnreadable, // its price file exists but cannot be read: copying would lose it
    NotAdded, // the target refused it (another symbol there has its server number, or it is full)
    FileNameTaken, // its price file would be another target symbol's (names differing in case only)
    TargetNotWritten, // its price file or the target's index could not be written
    SourceNotSaved,   // copied, but the source's index could not be saved without it
};

struct CopyMoveResult {
    struct Refused {
        std::string symbol;
        CopyRefusal reason;
    };
    std::int32_t copied = 0;      // symbols whose records the target holds now
    std::vector<Refused> refused; // in selection order
    std::vector<FolderNotWritten> foldersNotWritten; // why TargetNotWritten, SourceNotSaved
};

class CCopyMoveSymbols {
public:
    // Copies of the directory records and of the selected symbols (in
    // selection order); the two indices name directories of the array.
    CCopyMoveSymbols(std::vector<MVRKrsExportInfo> directories, std::int32_t sourceIndex,
                     std::vector<ExportSymbolInfo> symbols, std::int32_t targetIndex);

    // "No. of selected Symbols: 3".
    std::string CountText() const;
    // "Copy to '<target path>'" and "Move to '<target path>'".
    std::string CopyButtonText() const;
    std::string MoveButtonText() const;
    // Symbols cannot be moved out of a directory linked to a catalogue.
    bool MoveEnabled() const;

    // The buttons: the same procedure, the move also removes the symbols it
    // copied from the source. A symbol that was not copied stays where it is.
    const CopyMoveResult& Copy();
    const CopyMoveResult& Move();

    // Stops the server's number lookups of a copy or move that runs on
    // another thread; a stopped run copies nothing. Safe from any thread.
    void Stop() { run_.store(0); }

    bool IsMove() const { return move_; }
    // What the last button press did.
    const CopyMoveResult& LastResult() const { return lastResult_; }

private:
    CopyMoveResult Run();
    const MVRKrsExportInfo* Source() const;
    const MVRKrsExportInfo* Target() const;

    std::vector<MVRKrsExportInfo> directories_;
    std::int32_t sourceIndex_;
    std::vector<ExportSymbolInfo> symbols_;
    std::int32_t targetIndex_;
    bool move_ = false;
    CopyMoveResult lastResult_;
    RunFlag run_{1};
};

// The text that tells the user which symbols were not copied or moved;
// empty when every symbol was.
std::string RefusedSymbolsText(const CopyMoveResult& result, bool move);

} // namespace mvr
