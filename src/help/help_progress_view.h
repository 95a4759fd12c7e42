// The progress strip that stands in for the main window while the help document is written out.
#pragma once

namespace lumvora {

class HelpProgressView {
 public:
  virtual ~HelpProgressView() = default;
  // Shows the strip centred on the screen, not modal.
  virtual void Show() = 0;
  // Closes (unloads) the strip.
  virtual void Close() = 0;
  virtual void SetBarMin(float value) = 0;
  virtual void SetBarMax(float value) = 0;
  virtual void SetBarValue(float value) = 0;
};

}  // namespace lumvora
