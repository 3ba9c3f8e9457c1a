#pragma once

#include "workflow/controls.h"
#include "workflow/service_settings.h"

namespace hc {

// The three click handlers: the button loads the chart, a song click loads its comments, a
// comment click shows it in the details area.
class Workflow {
 public:
  Workflow(Controls& controls, ServiceSettings settings);

  void load_chart();
  void load_hot_comments();
  void show_comment();

 private:
  Controls& controls_;
  ServiceSettings settings_;
};

}  // namespace hc
