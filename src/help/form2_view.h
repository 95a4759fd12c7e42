// The progress strip that stands in for the main window while the help document is written out.
#pragma once

namespace lumvora {

class Form2View {
 public:
  virtual ~Form2View() = default;
  // Shows the strip centred on the screen, not modal.
  virtual void Show() = 0;
  // Closes (unloads) the strip.
  virtual void Close() = 0;
  // The progress bar P1.
  virtual void SetP1Min(float value) = 0;
  virtual void SetP1Max(float value) = 0;
  virtual void SetP1Value(float value) = 0;
};

}  // namespace lumvora
