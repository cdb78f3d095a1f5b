#pragma once
// Arranging the document windows in the main window's MDI area, by the
// arrangement codes the Window menu passes.

class QMdiArea;

enum MdiArrangement : int {
    vbCascade = 0,        // overlapping, each one offset from the last
    vbTileHorizontal = 1, // one above the other, each as wide as the area
    vbTileVertical = 2,   // side by side, each as high as the area
    vbArrangeIcons = 3,   // minimised windows in rows along the bottom
};

// Arranges the area's visible windows. Tiling and cascading leave minimised
// windows where they are and bring maximised ones back to normal size; the
// window last active comes first (top or left). Unknown codes do nothing.
void ArrangeSubWindows(QMdiArea* area, int arrangement);
