#pragma once
// The dynamic type of what a pointer (raw or smart) points at, for comparing with typeid(T)
// without handing typeid an expression that calls a function.
#include <typeinfo>

template <class Pointer>
const std::type_info& DynamicType(const Pointer& pointer)
{
    const auto& object = *pointer;
    return typeid(object);
}
