#include "workflow/workflow.h"

#include <utility>

namespace hc {

Workflow::Workflow(Controls& controls, ServiceSettings settings)
    : controls_(controls), settings_(std::move(settings)) {}

void Workflow::load_chart() {}

void Workflow::load_hot_comments() {}

void Workflow::show_comment() {}

}  // namespace hc
