#pragma once

namespace palvex {

// The result of a member that returns a value (a property get, a function): the typed API
// writes it through this handle, the automation interface hands it back as the call's result.
template <class T> class Out {
public:
    explicit Out(T& target) : m_target(&target) {}
    Out& operator=(const T& value) {
        *m_target = value;
        return *this;
    }
    T& operator*() const { return *m_target; }

private:
    T* m_target;
};

template <class T> Out<T> out(T& target) {
    return Out<T>(target);
}

} // namespace palvex
