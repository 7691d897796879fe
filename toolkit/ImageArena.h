#pragma once

#include <QImage>
#include <cstddef>

// Pixel memory for the decoded skin images, handed out from large regions the kernel may back with
// huge pages. A start decodes several megabytes of artwork into fresh memory; page by page that is
// over a thousand page faults, each expensive on a virtual machine, where a few huge pages cost
// almost nothing. Memory goes back to the system when every image of a region is gone.
class ImageArena {
public:
    // A new image whose pixels live in the arena; like QImage(size, format) when the arena cannot
    // supply memory. Copies share the pixels; writing to a shared copy detaches it as usual.
    static QImage allocate(int width, int height, QImage::Format format);

    // Bytes mapped for images right now (regions, not what the images use of them).
    static std::size_t mappedBytes();
    // Regions mapped right now.
    static int regions();
};
