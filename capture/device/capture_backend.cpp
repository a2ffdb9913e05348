#include "capture_backend.h"

#include "simulated_backend.h"
#include "v4l2_backend.h"

namespace capture {

const std::vector<BackendEntry>& backendTable()
{
    static const std::vector<BackendEntry> table{
        {"v4l2", [](int) -> std::unique_ptr<CaptureBackend> { return std::make_unique<V4l2Backend>(); }},
        {"simulated", [](int devices) -> std::unique_ptr<CaptureBackend> { return std::make_unique<SimulatedBackend>(devices); }},
    };
    return table;
}

}  // namespace capture
