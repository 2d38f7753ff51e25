// The caption bar under the ribbon: the button "Options...", an
// information image with its tooltip and the welcome line. The button's
// click reaches the frame as the command 33262.
#pragma once

#include <wx/panel.h>

class wxButton;
class wxStaticBitmap;
class wxStaticText;
struct ApplicationLook;

class CaptionBar : public wxPanel {
 public:
  // The bar in parent; its button's command goes to target.
  CaptionBar(wxWindow* parent, wxWindow* target);

  // Takes the colours of look.
  void ApplyLook(const ApplicationLook& look);

  // The button "Options...", the information image and the welcome line.
  wxButton& optionsButton() const { return *m_options; }
  wxStaticBitmap& image() const { return *m_image; }
  wxStaticText& welcome() const { return *m_welcome; }

 private:
  wxButton* m_options;
  wxStaticBitmap* m_image;
  wxStaticText* m_welcome;
};
