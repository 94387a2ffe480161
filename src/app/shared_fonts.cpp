// Creation of the shared fonts.
#include "app/shared_fonts.h"

trel_font *main_font = nullptr;
trel_font *small_font = nullptr;
trel_font *label_font = nullptr;

void create_shared_fonts(int main_font_size) {
  main_font = new trel_font(main_font_size, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL,
                            wxFONTWEIGHT_NORMAL, false, wxEmptyString, wxFONTENCODING_DEFAULT);
  small_font = new trel_font(6, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                             false, wxEmptyString, wxFONTENCODING_DEFAULT);
  label_font = new trel_font(8, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                             false, wxEmptyString, wxFONTENCODING_DEFAULT);
}
