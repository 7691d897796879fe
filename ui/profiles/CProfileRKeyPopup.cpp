#include "ui/profiles/CProfileRKeyPopup.h"

static_assert(Text::ProfileImport + CProfileRKeyPopup::Delete == Text::ProfileDelete);

std::unique_ptr<CRowListPopup> CProfileRKeyPopup::create(int slot, const LangText& texts) {
    std::vector<CRowListPopup::Row> rows;
    for (int action = Import; action <= Delete; ++action)
        rows.push_back(
            CRowListPopup::Row::choosing(texts.text(Text::ProfileImport + action), encode(action, slot)));
    rows.push_back(CRowListPopup::Row::choosing(texts.text(Text::ProfileLinks), encode(Links, slot)));
    return std::make_unique<CRowListPopup>(Menu, std::move(rows));
}
