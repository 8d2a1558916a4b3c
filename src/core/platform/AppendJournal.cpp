#include "core/platform/AppendJournal.h"

#include "core/platform/ByteStream.h"
#include "core/platform/FileSystem.h"
#include "core/platform/InterruptionPoint.h"
#include "core/platform/Paths.h"
#include "core/platform/RandomAccessFile.h"

#include <array>
#include <utility>

namespace mvr {

namespace {

constexpr std::string_view kSignature = "MVRAPPJ1";
// A journal names at most a group's files; anything larger is no journal.
constexpr std::uint64_t kMaxJournalBytes = std::uint64_t{64} << 20;
constexpr std::uint32_t kMaxNameBytes = 4096;
constexpr std::uint32_t kMaxHeaderBytes = 4096;

std::array<std::uint32_t, 256> Crc32Table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

// The CRC-32 of zlib and PNG.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> table = Crc32Table();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc = table[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Each step of a commit.
CInterruptionPoint<AppendStep> gAppendStep;

std::error_code ErrorOr(std::error_code error, std::errc fallback) {
    return error ? error : std::make_error_code(fallback);
}

// Gives a file back its length and first bytes and makes that durable.
bool GiveBack(CRandomAccessFile& file, const AppendJournalEntry& entry) {
    return file.Truncate(entry.length) && file.WriteAt(0, entry.header) && file.Flush();
}

} // namespace

ByteBuffer EncodeAppendJournal(std::span<const AppendJournalEntry> entries) {
    CByteWriter writer;
    writer.AppendBytes(AsBytes(kSignature));
    writer.AppendLE32(static_cast<std::uint32_t>(entries.size()));
    for (const AppendJournalEntry& entry : entries) {
        writer.AppendLE32(static_cast<std::uint32_t>(entry.fileName.size()));
        writer.AppendBytes(AsBytes(entry.fileName));
        writer.AppendLE64(entry.length);
        writer.AppendLE32(static_cast<std::uint32_t>(entry.header.size()));
        writer.AppendBytes(entry.header);
    }
    writer.AppendLE32(Crc32(writer.Bytes()));
    return writer.Release();
}

std::optional<std::vector<AppendJournalEntry>>
DecodeAppendJournal(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSignature.size() + 8) {
        return std::nullopt;
    }
    const auto body = bytes.first(bytes.size() - 4);
    if (Crc32(body) != LoadLE32(bytes.data() + body.size())) {
        return std::nullopt;
    }
    CByteReader reader(body);
    std::string signature;
    std::uint32_t count = 0;
    if (!reader.ReadFixedText(kSignature.size(), &signature) || signature != kSignature ||
        !reader.ReadLE32(&count)) {
        return std::nullopt;
    }
    std::vector<AppendJournalEntry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        AppendJournalEntry entry;
        std::uint32_t nameBytes = 0;
        std::uint32_t headerBytes = 0;
        if (!reader.ReadLE32(&nameBytes) || nameBytes > kMaxNameBytes ||
            !reader.ReadFixedText(nameBytes, &entry.fileName) || !reader.ReadLE64(&entry.length) ||
            !reader.ReadLE32(&headerBytes) || headerBytes > kMaxHeaderBytes) {
            return std::nullopt;
        }
        const auto header = reader.Take(headerBytes);
        if (header.size() != headerBytes) {
            return std::nullopt;
        }
        entry.header.assign(header.begin(), header.end());
        entries.push_back(std::move(entry));
    }
    if (!reader.AtEnd()) {
        return std::nullopt;
    }
    return entries;
}

// One run of the protocol over the staged files.
class CFileAppendGroup::CCommit {
public:
    CCommit(const std::string& folder, std::vector<StagedAppend>& staged)
        : folder_(folder), staged_(staged) {}

    bool Run() {
        if (!OpenFiles() || !WriteJournal() ||
            !gAppendStep.MayContinue(AppendStep::JournalWritten)) {
            return false;
        }
        if (!FlushJournal()) {
            return false;
        }
        if (!gAppendStep.MayContinue(AppendStep::JournalFlushed)) {
            return false;
        }
        if (!AppendAll()) {
            return false;
        }
        if (!FlushFiles()) {
            return GiveAllBack();
        }
        if (!gAppendStep.MayContinue(AppendStep::FilesFlushed)) {
            return false;
        }
        RemoveJournal();
        return true;
    }

    std::error_code Error() const { return error_; }
    // Which staged files the run took up (the others were left out).
    const std::vector<std::size_t>& Opened() const { return opened_; }

private:
    bool Fail(std::error_code error) {
        error_ = ErrorOr(error, std::errc::io_error);
        return false;
    }

    // Every file is opened and checked before the journal exists, so that a
    // file changed since its plan, or one that cannot be written, is left out
    // without anything to undo. False when no file is left.
    bool OpenFiles() {
        for (std::size_t i = 0; i < staged_.size(); ++i) {
            const StagedAppend& staged = staged_[i];
            std::error_code error;
            auto file = CRandomAccessFile::Open(JoinPath(folder_, staged.fileName),
                                                FileOpening::ReadWrite, &error);
            if (!file) {
                Fail(error);
                continue;
            }
            const auto size = file->RegularFileSize();
            const auto header = file->ReadAt(0, staged.header.size());
            if (!size || !header) {
                Fail(file->LastError());
                continue;
            }
            if (*size != staged.expectedLength || header->size() != staged.header.size()) {
                Fail(std::make_error_code(std::errc::resource_unavailable_try_again));
                continue;
            }
            entries_.push_back({staged.fileName, staged.expectedLength, *header});
            files_.push_back(std::move(*file));
            opened_.push_back(i);
        }
        return !files_.empty();
    }

    bool WriteJournal() {
        std::error_code error;
        journal_ = CRandomAccessFile::Open(JoinPath(folder_, kAppendJournalName),
                                           FileOpening::CreateExclusive, &error);
        if (!journal_) {
            return Fail(error);
        }
        if (!journal_->WriteAt(0, EncodeAppendJournal(entries_))) {
            Fail(journal_->LastError());
            RemoveJournal();
            return false;
        }
        return true;
    }

    bool FlushJournal() {
        if (!journal_->Flush()) {
            Fail(journal_->LastError());
            RemoveJournal();
            return false;
        }
        FlushFolderEntries(folder_);
        return true;
    }

    bool AppendAll() {
        for (std::size_t i = 0; i < files_.size(); ++i) {
            const StagedAppend& staged = staged_[opened_[i]];
            CRandomAccessFile& file = files_[i];
            touched_ = i + 1;
            if (!file.WriteAt(staged.expectedLength, staged.bytes)) {
                Fail(file.LastError());
                return GiveAllBack();
            }
            if (!gAppendStep.MayContinue(AppendStep::FileAppended)) {
                return false;
            }
            if (!file.WriteAt(0, staged.header)) {
                Fail(file.LastError());
                return GiveAllBack();
            }
        }
        return true;
    }

    bool FlushFiles() {
        if (kFlushesWholeFileSystems) {
            if (!FlushFileSystemOf(folder_)) {
                return Fail({errno, std::generic_category()});
            }
            return true;
        }
        for (CRandomAccessFile& file : files_) {
            if (!file.Flush()) {
                return Fail(file.LastError());
            }
        }
        return true;
    }

    // Undoes the appends made so far; the journal goes only when all of them
    // are undone, otherwise the next open of the folder finishes the job.
    // Always false: the group was not appended.
    bool GiveAllBack() {
        bool givenBack = true;
        for (std::size_t i = 0; i < touched_; ++i) {
            givenBack = GiveBack(files_[i], entries_[i]) && givenBack;
        }
        if (givenBack) {
            RemoveJournal();
        }
        return false;
    }

    void RemoveJournal() {
        if (journal_ && journal_->RemoveWhileOpen()) {
            FlushFolderEntries(folder_);
        }
    }

    const std::string& folder_;
    std::vector<StagedAppend>& staged_;
    std::vector<CRandomAccessFile> files_; // of the files taken up
    std::vector<AppendJournalEntry> entries_;
    std::vector<std::size_t> opened_; // their places among the staged files
    std::optional<CRandomAccessFile> journal_;
    std::size_t touched_ = 0; // files whose append has begun
    std::error_code error_;
};

CFileAppendGroup::CFileAppendGroup(std::string folder) : folder_(std::move(folder)) {}

void CFileAppendGroup::Stage(std::string fileName, std::uint64_t expectedLength, ByteBuffer header,
                             ByteBuffer bytes) {
    staged_.push_back({std::move(fileName), expectedLength, std::move(header), std::move(bytes)});
}

std::vector<bool> CFileAppendGroup::Commit() {
    error_.clear();
    std::vector<bool> appended(staged_.size(), false);
    if (!staged_.empty()) {
        CCommit commit(folder_, staged_);
        const bool done = commit.Run();
        if (done) {
            for (const std::size_t i : commit.Opened()) {
                appended[i] = true;
            }
        }
        if (!done || commit.Opened().size() < staged_.size()) {
            error_ = ErrorOr(commit.Error(), std::errc::operation_canceled);
        }
    }
    staged_.clear();
    return appended;
}

AppendRecovery RecoverInterruptedAppend(const std::string& folder, std::error_code* error) {
    const std::string path = JoinPath(folder, kAppendJournalName);
    if (!EntryExists(path)) {
        return AppendRecovery::NoJournal;
    }
    std::error_code openError;
    auto journal = CRandomAccessFile::Open(path, FileOpening::ExistingExclusive, &openError);
    const auto fail = [error](std::error_code reason) {
        if (error != nullptr) {
            *error = ErrorOr(reason, std::errc::io_error);
        }
        return AppendRecovery::Failed;
    };
    if (!journal) {
        if (openError == std::errc::resource_unavailable_try_again) {
            return AppendRecovery::InUse;
        }
        return openError == std::errc::no_such_file_or_directory ? AppendRecovery::NoJournal
                                                                 : fail(openError);
    }
    // Its group finished and removed it between our look and our lock.
    if (!journal->IsStillNamed()) {
        return AppendRecovery::NoJournal;
    }
    const auto size = journal->RegularFileSize();
    if (!size || *size > kMaxJournalBytes) {
        return fail(std::make_error_code(std::errc::invalid_argument));
    }
    const auto bytes = journal->ReadAt(0, static_cast<std::size_t>(*size));
    if (!bytes) {
        return fail(journal->LastError());
    }
    const auto entries = DecodeAppendJournal(*bytes);
    if (entries) {
        for (const AppendJournalEntry& entry : *entries) {
            auto file =
                CRandomAccessFile::Open(JoinPath(folder, entry.fileName), FileOpening::ReadWrite);
            const auto length = file ? file->RegularFileSize() : std::nullopt;
            // A file removed or cut shorter since is no longer the group's.
            if (!length || *length < entry.length) {
                continue;
            }
            if (!GiveBack(*file, entry)) {
                return fail(file->LastError());
            }
        }
    }
    if (!journal->RemoveWhileOpen()) {
        return fail(journal->LastError());
    }
    FlushFolderEntries(folder);
    return entries ? AppendRecovery::RolledBack : AppendRecovery::Discarded;
}

CScopedAppendInterruption::CScopedAppendInterruption(AppendInterruption hook)
    : CInterruptionScope(gAppendStep, std::move(hook)) {}

} // namespace mvr
