#include "capture_backend.h"

#include "simulated_backend.h"
#include "v4l2_backend.h"

#include <atomic>

namespace capture {

namespace {

// With nothing installed the kernel's devices are used.
CaptureBackend& defaultBackend()
{
    static V4l2Backend v4l2;
    return v4l2;
}

std::atomic<CaptureBackend*> g_backend{nullptr};

}  // namespace

CaptureBackend& captureBackend()
{
    CaptureBackend* b = g_backend.load();
    return b ? *b : defaultBackend();
}

CaptureBackend* setCaptureBackend(CaptureBackend* backend)
{
    return g_backend.exchange(backend);
}

const std::vector<BackendEntry>& backendTable()
{
    static const std::vector<BackendEntry> table{
        {"v4l2", [](int) -> std::unique_ptr<CaptureBackend> { return std::make_unique<V4l2Backend>(); }},
        {"simulated", [](int devices) -> std::unique_ptr<CaptureBackend> { return std::make_unique<SimulatedBackend>(devices); }},
    };
    return table;
}

}  // namespace capture
