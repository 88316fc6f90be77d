#pragma once
// The exit code of drag_source.exe: the effect the drop ended with (low byte), and
// how the drag ended.
enum : unsigned {
    kDragDropped = 0x100,   // DoDragDrop returned DRAGDROP_S_DROP
    kDragCancelled = 0x200, // DoDragDrop returned DRAGDROP_S_CANCEL
    kDragFailed = 0x400,    // bad arguments, or DoDragDrop failed
};
