#pragma once
// The words of paragraphs, lists, tables and pictures the RTF reader acts
// on (Keyword::block of Word::Block).

#include <cstdint>

namespace rtf {

enum class BlockWord : std::uint8_t {
    None,
    // paragraphs
    AlignLeft, AlignCentre, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent,
    SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, RightToLeft, LeftToRight, InTable, Depth,
    ListNumber, ListLevel,
    // table rows
    RowDefaults, RowLeft, CellRight, NestedRow, MergeFirst, Merged, MergeDownFirst, MergedDown, CellBorder,
    // pictures, and the shapes LibreOffice writes them in
    Picture, Png, Jpeg, Emf, Wmf, DeviceBitmap, Bitmap, MacPicture, Os2Picture, PictureWidth, PictureHeight, GoalWidth,
    GoalHeight, ScaleX, ScaleY, ShapePicture, ShapeProperty, ShapeName, ShapeValue, ShapeLeft,
    ShapeRight, ShapeTop, ShapeBottom,
    // the list table
    ListTable, List, ListOverride, ListId, ListLevelGroup, LevelText, LevelFormat, LevelStart,
    // the document's paragraph properties, which \pard gives a paragraph
    DefaultParagraph,
};

} // namespace rtf
