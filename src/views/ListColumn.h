#pragma once

// One column of a report list: its title, its first width in pixels, and
// whether its texts stand at the right edge.
struct ListColumn {
    const char* title;
    int width;
    bool rightAligned;
};
