#include "toolkit/ImageArena.h"

#include <cstdint>
#include <limits>
#include <mutex>
#include <sys/mman.h>

namespace {
constexpr std::size_t HugePage = std::size_t(2) << 20;
// Virtual address space only: pages are resident once an image writes to them.
constexpr std::size_t RegionSize = std::size_t(32) << 20;
constexpr std::size_t Alignment = 64;

struct Region {
    char* base = nullptr;
    std::size_t size = 0;
    std::size_t used = 0;
    int live = 0; // images whose pixels are here
};

std::mutex& lock() {
    static std::mutex m;
    return m;
}

Region*& current() {
    static Region* region = nullptr;
    return region;
}

std::size_t& mapped() {
    static std::size_t bytes = 0;
    return bytes;
}

int& regionCount() {
    static int count = 0;
    return count;
}

// A region starting on a huge-page boundary, so that every whole 2 MB of it can be one huge page.
Region* mapRegion(std::size_t size) {
    const std::size_t reserve = size + HugePage;
    void* raw = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    char* start = static_cast<char*>(raw);
    char* base =
        reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(start) + HugePage - 1) & ~(HugePage - 1));
    if (base > start)
        munmap(start, std::size_t(base - start));
    const std::size_t tail = reserve - std::size_t(base - start) - size;
    if (tail > 0)
        munmap(base + size, tail);
#ifdef MADV_HUGEPAGE
    madvise(base, size, MADV_HUGEPAGE); // a hint: without it the region works page by page
#endif
    auto* region = new Region;
    region->base = base;
    region->size = size;
    mapped() += size;
    ++regionCount();
    return region;
}

void unmapRegion(Region* region) {
    munmap(region->base, region->size);
    mapped() -= region->size;
    --regionCount();
    delete region;
}

void release(void* info) {
    auto* region = static_cast<Region*>(info);
    const std::lock_guard<std::mutex> guard(lock());
    if (--region->live > 0)
        return;
    if (region == current())
        region->used = 0; // resident already: the next images reuse it
    else
        unmapRegion(region);
}
} // namespace

QImage ImageArena::allocate(int width, int height, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (width <= 0 || height <= 0 || depth <= 0 || depth % 8 != 0)
        return QImage(width, height, format);
    const std::size_t line = (std::size_t(width) * std::size_t(depth / 8) + 3) & ~std::size_t(3);
    if (line > std::size_t(std::numeric_limits<int>::max()) / 2 ||
        std::size_t(height) > std::numeric_limits<std::size_t>::max() / line / 2)
        return QImage(width, height, format);
    const std::size_t bytes = (line * std::size_t(height) + Alignment - 1) & ~(Alignment - 1);

    Region* region = nullptr;
    uchar* pixels = nullptr;
    {
        const std::lock_guard<std::mutex> guard(lock());
        Region*& open = current();
        if (bytes > RegionSize / 2) {
            region = mapRegion((bytes + HugePage - 1) & ~(HugePage - 1)); // its own region
        } else {
            if (!open || open->size - open->used < bytes) {
                if (Region* fresh = mapRegion(RegionSize)) {
                    if (open && open->live == 0)
                        unmapRegion(open);
                    open = fresh;
                }
            }
            if (open && open->size - open->used >= bytes)
                region = open;
        }
        if (!region)
            return QImage(width, height, format);
        pixels = reinterpret_cast<uchar*>(region->base + region->used);
        region->used += bytes;
        ++region->live;
    }
    QImage image(pixels, width, height, qsizetype(line), format, release, region);
    if (image.isNull())
        release(region); // Qt calls the cleanup only for an image it made
    return image;
}

std::size_t ImageArena::mappedBytes() {
    const std::lock_guard<std::mutex> guard(lock());
    return mapped();
}

int ImageArena::regions() {
    const std::lock_guard<std::mutex> guard(lock());
    return regionCount();
}
