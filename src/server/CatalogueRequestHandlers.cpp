#include "server/CatalogueRequestHandlers.h"

#include "core/net/CatalogueTables.h"
#include "core/net/ServerRequest.h"
#include "core/platform/TextUtil.h"
#include "server/RequestBody.h"

namespace mvr {

namespace {

// id, parent, kind, extra.
constexpr std::int32_t kTreeRecordBytes = 4 + 4 + 1 + 4;

void WriteTree(CRequestContext& request) {
    for (const CatalogueTreeEntry& entry : request.Data().Tables().catalogueTree) {
        request.MakeRoom(kTreeRecordBytes);
        CDataOutputStream& out = request.Out();
        out.writeLong(entry.id);
        out.writeLong(entry.parent);
        out.writeByte(entry.kind);
        out.writeLong(entry.extra);
    }
}

void WriteGroups(CRequestContext& request) {
    for (const CatalogueGroup& group : request.Data().Tables().catalogueGroups) {
        request.MakeRoom(4 + static_cast<std::int32_t>(kGroupNameSize) + 1);
        request.Out().writeLong(group.id);
        request.Out().writeString(Truncated(group.name, kGroupNameSize - 1));
    }
}

void WriteCatalogues(CRequestContext& request) {
    for (const Catalogue& catalogue : request.Data().Tables().catalogues) {
        request.MakeRoom(2 + static_cast<std::int32_t>(kCatalogueShortNameSize) +
                         static_cast<std::int32_t>(kCatalogueNameSize) + 1);
        request.Out().writeShort(static_cast<std::uint16_t>(catalogue.number));
        request.Out().writeString(Truncated(catalogue.shortName, kCatalogueShortNameSize - 1));
        request.Out().writeString(Truncated(catalogue.name, kCatalogueNameSize - 1));
    }
}

} // namespace

void AnswerCatalogues(CRequestContext& request) {
    WriteTree(request);
    request.EndSection();
    WriteGroups(request);
    request.EndSection();
    WriteCatalogues(request);
    request.EndSection();
}

void AnswerCatalogueContents(CRequestContext& request) {
    request.Connection().readData();
    CDataInputStream& in = request.In();
    RequirePayload(in, 4, "catalogue contents body");
    const auto number = static_cast<std::int16_t>(in.readShort());
    in.readShort();
    const Catalogue* catalogue = request.Data().FindCatalogue(number);
    if (catalogue == nullptr) {
        // An empty list would make a linked directory drop all its symbols.
        request.EndSection(kSectionDatabaseError);
        request.SetResult("unknown-catalogue=" + std::to_string(number));
        return;
    }
    const auto members = request.Data().CatalogueMembers(*catalogue);
    request.WriteRecords(members);
    request.EndSection();
    request.SetResult("catalogue=" + std::to_string(number) +
                      ",records=" + std::to_string(members.size()));
}

} // namespace mvr
