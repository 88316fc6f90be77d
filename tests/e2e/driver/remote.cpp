// Messages with pointers to windows of another process: the structure and its
// buffers are placed in that process's memory, because Wine 8 passes messages
// above WM_USER across processes without marshalling what they point to.

#include <algorithm>
#include <cstring>

#include "vako_e2e.h"

namespace e2e {

namespace {
bool IsWow64(HANDLE process) {
    BOOL wow = FALSE;
    return IsWow64Process(process, &wow) && wow;
}

// Text buffers for item texts: the program keeps names of at most 260 bytes, the
// rest is headroom for other programs.
constexpr size_t kTextMax = 2048;
} // namespace

RemoteBuffer::RemoteBuffer(DWORD pid, size_t size) : size_(size) {
    process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_INFORMATION,
                               FALSE, pid));
    if (!process_)
        ThrowLastError("OpenProcess " + std::to_string(pid));
    // The structures written here have this process's layout: a 32-bit test cannot
    // fill an LVITEM of a 64-bit program.
    if (IsWow64(GetCurrentProcess()) && !IsWow64(process_.get()))
        throw DriverError("process " + std::to_string(pid) +
                          " is 64-bit; remote structures need a 32-bit target");
    base_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!base_)
        ThrowLastError("VirtualAllocEx");
}

RemoteBuffer::~RemoteBuffer() {
    if (base_)
        VirtualFreeEx(process_.get(), base_, 0, MEM_RELEASE);
}

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    if (offset + size > size_)
        throw DriverError("RemoteBuffer::Write beyond the buffer");
    SIZE_T done = 0;
    if (!WriteProcessMemory(process_.get(), Address(offset), data, size, &done) || done != size)
        ThrowLastError("WriteProcessMemory");
}

void RemoteBuffer::Read(void* out, size_t size, size_t offset) const {
    if (offset + size > size_)
        throw DriverError("RemoteBuffer::Read beyond the buffer");
    SIZE_T done = 0;
    if (!ReadProcessMemory(process_.get(), Address(offset), out, size, &done) || done != size)
        ThrowLastError("ReadProcessMemory");
}

std::string RemoteBuffer::ReadString(size_t offset, size_t max) const {
    if (offset + max > size_)
        max = size_ - offset;
    std::string s(max, '\0');
    Read(&s[0], max, offset);
    s.resize(std::strlen(s.c_str()));
    return s;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, kSendTimeoutMs, &result))
        ThrowLastError("message 0x" + [&] {
            char b[16];
            wsprintfA(b, "%X", msg);
            return std::string(b);
        }() + " not answered");
    return static_cast<LRESULT>(result);
}

void Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!PostMessageA(hwnd, msg, wp, lp))
        ThrowLastError("PostMessageA");
}

void PostCommand(HWND hwnd, WORD id) {
    Post(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// ---- List view ----

int ListItemCount(HWND list) {
    return static_cast<int>(Send(list, LVM_GETITEMCOUNT));
}

std::string ListItemText(HWND list, int item, int subItem) {
    RemoteBuffer mem(list, sizeof(LVITEMA) + kTextMax);
    LVITEMA lv{};
    lv.iSubItem = subItem;
    lv.pszText = static_cast<char*>(mem.Address(sizeof lv));
    lv.cchTextMax = kTextMax;
    mem.Put(lv);
    mem.Put('\0', sizeof lv);
    Send(list, LVM_GETITEMTEXTA, item, mem.Param());
    return mem.ReadString(sizeof lv, kTextMax);
}

std::vector<std::string> ListColumn(HWND list, int subItem) {
    std::vector<std::string> texts;
    for (int i = 0, n = ListItemCount(list); i < n; ++i)
        texts.push_back(ListItemText(list, i, subItem));
    return texts;
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    const int columns = std::max(1, ListColumnCount(list));
    for (int i = 0, n = ListItemCount(list); i < n; ++i) {
        std::vector<std::string> row;
        for (int c = 0; c < columns; ++c)
            row.push_back(ListItemText(list, i, c));
        rows.push_back(row);
    }
    return rows;
}

UINT ListItemState(HWND list, int item, UINT mask) {
    return static_cast<UINT>(Send(list, LVM_GETITEMSTATE, item, mask));
}

int ListItemImage(HWND list, int item) {
    RemoteBuffer mem(list, sizeof(LVITEMA));
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    mem.Put(lv);
    if (!Send(list, LVM_GETITEMA, 0, mem.Param()))
        throw DriverError("LVM_GETITEMA failed for item " + std::to_string(item));
    return mem.Get<LVITEMA>().iImage;
}

bool ListItemSelected(HWND list, int item) {
    return (ListItemState(list, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::vector<int> ListSelectedItems(HWND list) {
    std::vector<int> items;
    for (int i = static_cast<int>(Send(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); i >= 0;
         i = static_cast<int>(Send(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)))
        items.push_back(i);
    return items;
}

void ListSetItemState(HWND list, int item, UINT state, UINT mask) {
    RemoteBuffer mem(list, sizeof(LVITEMA));
    LVITEMA lv{};
    lv.state = state;
    lv.stateMask = mask;
    mem.Put(lv);
    if (!Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), mem.Param()))
        throw DriverError("LVM_SETITEMSTATE refused for item " + std::to_string(item));
}

void ListSelect(HWND list, const std::vector<int>& items) {
    ListSetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    bool first = true;
    for (int i : items) {
        ListSetItemState(list, i, LVIS_SELECTED | (first ? LVIS_FOCUSED : 0),
                         LVIS_SELECTED | (first ? LVIS_FOCUSED : 0));
        first = false;
    }
}

DWORD ListViewType(HWND list) {
    return static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & LVS_TYPEMASK;
}

DWORD ListViewMode(HWND list) {
    return static_cast<DWORD>(Send(list, LVM_GETVIEW));
}

HWND ListHeader(HWND list) {
    return reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
}

int ListColumnCount(HWND list) {
    HWND header = ListHeader(list);
    return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT)) : 0;
}

int ListColumnWidth(HWND list, int column) {
    return static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, column));
}

std::string ListColumnCaption(HWND list, int column) {
    RemoteBuffer mem(list, sizeof(LVCOLUMNA) + kTextMax);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = static_cast<char*>(mem.Address(sizeof col));
    col.cchTextMax = kTextMax;
    mem.Put(col);
    mem.Put('\0', sizeof col);
    if (!Send(list, LVM_GETCOLUMNA, column, mem.Param()))
        throw DriverError("no column " + std::to_string(column));
    return mem.ReadString(sizeof col, kTextMax);
}

RECT ListItemRect(HWND list, int item, int part) {
    RemoteBuffer mem(list, sizeof(RECT));
    RECT r{};
    r.left = part;
    mem.Put(r);
    if (!Send(list, LVM_GETITEMRECT, item, mem.Param()))
        throw DriverError("no item " + std::to_string(item));
    return mem.Get<RECT>();
}

int ListStringWidth(HWND list, const std::string& text) {
    RemoteBuffer mem(list, text.size() + 1);
    mem.Write(text.c_str(), text.size() + 1);
    return static_cast<int>(Send(list, LVM_GETSTRINGWIDTHA, 0, mem.Param()));
}

void ListClickColumn(HWND list, int column) {
    HWND header = ListHeader(list);
    if (!header)
        throw DriverError("the list view has no header (not in report view?)");
    RemoteBuffer mem(header, sizeof(RECT));
    mem.Put(RECT{});
    if (!Send(header, HDM_GETITEMRECT, column, mem.Param()))
        throw DriverError("no header item " + std::to_string(column));
    RECT r = mem.Get<RECT>();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // Posted, not sent: the header handles the pair in its own thread's order, as
    // it would a real click, and the test does not wait for the sort.
    Post(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(header, WM_LBUTTONUP, 0, at);
}

bool ListRenameItem(HWND list, int item, const std::string& text, DWORD timeoutMs) {
    if (!(GetWindowLongA(list, GWL_STYLE) & LVS_EDITLABELS))
        throw DriverError("the list view does not allow editing labels");
    HWND edit = reinterpret_cast<HWND>(Send(list, LVM_EDITLABELA, item));
    if (!edit)
        throw DriverError("LVM_EDITLABELA gave no edit control for item " + std::to_string(item));
    SetText(edit, text);
    Post(edit, WM_KEYDOWN, VK_RETURN, 1);
    Post(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
    return WaitUntil([&] { return !IsWindow(edit); }, timeoutMs);
}

// ---- Status bar, toolbar ----

std::string StatusBarText(HWND bar, int part) {
    const size_t len = LOWORD(Send(bar, SB_GETTEXTLENGTHA, part));
    const size_t size = len + 64;
    RemoteBuffer mem(bar, size);
    mem.Put('\0');
    Send(bar, SB_GETTEXTA, part, mem.Param());
    return mem.ReadString(0, size);
}

std::vector<ToolbarButton> ToolbarButtons(HWND toolbar) {
    std::vector<ToolbarButton> buttons;
    const int n = static_cast<int>(Send(toolbar, TB_BUTTONCOUNT));
    RemoteBuffer mem(toolbar, sizeof(TBBUTTON));
    for (int i = 0; i < n; ++i) {
        mem.Put(TBBUTTON{});
        if (!Send(toolbar, TB_GETBUTTON, i, mem.Param()))
            throw DriverError("TB_GETBUTTON " + std::to_string(i));
        TBBUTTON b = mem.Get<TBBUTTON>();
        buttons.push_back({b.fsStyle & TBSTYLE_SEP ? 0 : b.idCommand, b.fsState, b.fsStyle});
    }
    return buttons;
}

bool ToolbarButtonEnabled(HWND toolbar, int command) {
    return Send(toolbar, TB_ISBUTTONENABLED, command) != 0;
}

void ToolbarClick(HWND toolbar, int command) {
    const LRESULT index = Send(toolbar, TB_COMMANDTOINDEX, command);
    if (index < 0)
        throw DriverError("no toolbar button " + std::to_string(command));
    RemoteBuffer mem(toolbar, sizeof(RECT));
    mem.Put(RECT{});
    if (!Send(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), mem.Param()))
        throw DriverError("TB_GETITEMRECT " + std::to_string(index));
    RECT r = mem.Get<RECT>();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // Posted like a real click, so that the toolbar itself sends the command to its
    // parent, as it does for the mouse.
    Post(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(toolbar, WM_LBUTTONUP, 0, at);
}

} // namespace e2e
