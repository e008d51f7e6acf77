#pragma once
// The signal type of the network objects: a Boost.Signals2 signal whose state outlives the
// object that emits it, so a slot may delete the emitter (a stream that closed, an agent
// that failed). The emitter touches nothing of itself after an emission.
#include <boost/signals2/signal.hpp>

#include <memory>
#include <utility>

template <class Signature>
class NetSignal {
public:
    using Impl = boost::signals2::signal<Signature>;

    NetSignal() : impl_(std::make_shared<Impl>()) {}
    NetSignal(const NetSignal&) = delete;
    NetSignal& operator=(const NetSignal&) = delete;

    template <class Slot>
    boost::signals2::connection connect(Slot&& slot)
    {
        return impl_->connect(std::forward<Slot>(slot));
    }
    template <class... Args>
    void operator()(Args&&... args)
    {
        const std::shared_ptr<Impl> keep = impl_;
        (*keep)(std::forward<Args>(args)...);
    }
    void disconnect_all_slots() { impl_->disconnect_all_slots(); }
    size_t num_slots() const { return impl_->num_slots(); }

private:
    std::shared_ptr<Impl> impl_;
};
