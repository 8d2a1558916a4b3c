#include "core/net/CatalogueRequests.h"

#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerRequest.h"

#include <string>

namespace mvr {

namespace {

void ReadTreeSection(CKatalogRequest& request, CCatalogueTables& tables) {
    request.ReadSection([&](CDataInputStream& in) {
        GRUPPENSTRUKTUR entry;
        entry.id = in.readLong();
        entry.parent = in.readLong();
        entry.kind = in.readByte();
        entry.extra = in.readLong();
        tables.AppendTreeEntry(entry);
    });
}

void ReadGroupSection(CKatalogRequest& request, CCatalogueTables& tables) {
    tables.ClearGroups();
    request.ReadSection([&](CDataInputStream& in) {
        KATALOGGROUP group;
        group.id = in.readLong();
        group.name = in.readString(kGroupNameSize);
        tables.SetGroup(group);
    });
}

void ReadCatalogueSection(CKatalogRequest& request, CCatalogueTables& tables) {
    tables.ClearCatalogues();
    request.ReadSection([&](CDataInputStream& in) {
        const auto number = static_cast<std::int16_t>(in.readShort());
        const std::string shortName = in.readString(kCatalogueShortNameSize);
        const std::string name = in.readString(kCatalogueNameSize);
        tables.SetCatalogue(number, shortName, name);
    });
}

} // namespace

bool LoadCatalogues(const RunFlag& run) {
    CCatalogueTables& tables = ProcessCatalogueTables();
    CSectionLock lock(tables.CatalogueLock());
    if (tables.IsComplete()) {
        return true;
    }
    tables.ClearTree();
    bool result = false;
    try {
        CWinSocket socket;
        CKatalogRequest request;
        request.Open(socket, run);
        request.writeHeader(kRequestCatalogues, LoginNumber());
        std::string text;
        // Each section's end is checked before the next is read: after a
        // database error the server has nothing more to send.
        ReadTreeSection(request, tables);
        result = request.SectionResult(text);
        if (result) {
            ReadGroupSection(request, tables);
            result = request.SectionResult(text);
        }
        if (result) {
            ReadCatalogueSection(request, tables);
            result = request.SectionResult(text);
        }
        // A download the run flag cut short is not complete, however it ended.
        tables.SetComplete(result && request.Running());
    } catch (const CIOException&) {
        // Sections that ended well before the connection broke do not make
        // the model complete.
        result = false;
    }
    return result;
}

bool LoadCatalogueContents(std::int16_t number, std::int32_t headerParameter, const RunFlag& run,
                           std::vector<WATCH>& records, const std::function<bool()>& stopEarly) {
    CWinSocket socket;
    CKatalogRequest request;
    request.Open(socket, run);
    request.writeHeader(kRequestCatalogueContents, headerParameter);
    request.Out().writeShort(static_cast<std::uint16_t>(number));
    request.Out().writeShort(0);
    request.writeData();
    request.ReadSection(
        [&](CDataInputStream& in) {
            WATCH record;
            if (ReadInstrumentRecord(record, in)) {
                records.push_back(std::move(record));
            }
        },
        stopEarly);
    std::string text;
    return request.SectionResult(text);
}

} // namespace mvr
