#pragma once

#include <utility>

// Creates a screen and runs its creation handling (FormCreate) once, after
// the whole class hierarchy is constructed, so that the derived screen's
// override runs. A screen shown without it runs FormCreate at its first show.
template <class Form, class... Args>
Form *CreateForm(Args &&...args)
{
    auto *form = new Form(std::forward<Args>(args)...);
    form->Create();
    return form;
}
