// The primary-selection clipboard of the client.
#include "input/clipboard.h"

#include "input/line_text.h"
#include "support/debug_log.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/strconv.h>

namespace {

// Opens the toolkit's clipboard on the primary selection; reports a failure
// under the caller's name.
bool open_primary(const char *caller) {
  wxTheClipboard->UsePrimarySelection(true);
  if (wxTheClipboard->Open())
    return true;
  wxTheClipboard->UsePrimarySelection(false);
  if (debug_level >= 2)
    trel_client_debug_printf("Error in %s(), unable to open clipboard.\n", caller);
  return false;
}

void close_primary() {
  wxTheClipboard->Close();
  wxTheClipboard->UsePrimarySelection(false);
}

} // namespace

bool set_clipboard_data(const char *text) {
  if (!text)
    return false;
  if (!open_primary("set_clipboard_data"))
    return false;
  // The clipboard takes ownership of the data object.
  const bool stored =
      wxTheClipboard->SetData(new wxTextDataObject(wxString(text, wxConvISO8859_1)));
  close_primary();
  return stored;
}

bool get_clipboard_data(std::string &text) {
  if (!open_primary("get_clipboard_data"))
    return false;
  bool found = false;
  if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
    wxTextDataObject data;
    if (wxTheClipboard->GetData(data)) {
      const std::wstring wide = data.GetText().ToStdWstring();
      text = trel_single_byte_text(wide.data(), wide.size());
      found = true;
    }
  }
  close_primary();
  return found;
}
