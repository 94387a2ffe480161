// Creation of the shared fonts.
#include "app/shared_fonts.h"

wxFont *main_font = nullptr;
wxFont *small_font = nullptr;
wxFont *label_font = nullptr;

void create_shared_fonts(int main_font_size) {
  main_font = new wxFont(main_font_size, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL,
                         wxFONTWEIGHT_NORMAL, false, wxEmptyString, wxFONTENCODING_DEFAULT);
  small_font = new wxFont(6, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                          false, wxEmptyString, wxFONTENCODING_DEFAULT);
  label_font = new wxFont(8, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                          false, wxEmptyString, wxFONTENCODING_DEFAULT);
}
