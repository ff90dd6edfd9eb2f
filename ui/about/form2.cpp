#include "ui/about/form2.h"

namespace czasomir {

Form2::Form2(tk::Platform& platform) : tk::Form(platform, L"Form2") { caption = L"Czasomir - O programie"; }

}  // namespace czasomir
