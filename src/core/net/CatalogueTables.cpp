#include "core/net/CatalogueTables.h"

namespace mvr {

std::vector<GRUPPENSTRUKTUR> CCatalogueTables::TreeSnapshot() {
    CSectionLock lock(CatalogueLock());
    return tree_;
}

void CCatalogueTables::SetCatalogue(std::int16_t number, const std::string& shortName,
                                    const std::string& name) {
    SYMBOL catalogue;
    catalogue.sinCode = number;
    catalogue.symbol = shortName;
    catalogue.name = name;
    catalogues_.SetAt(number, catalogue);
}

void CCatalogueTables::Clear() {
    CSectionLock lock(CatalogueLock());
    tree_.clear();
    groups_.RemoveAll();
    catalogues_.RemoveAll();
    complete_.store(false);
}

} // namespace mvr
