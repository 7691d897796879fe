#include "settings/ProfileRecords.h"

ProfileRecords& ProfileRecords::instance() {
    static ProfileRecords records;
    return records;
}
