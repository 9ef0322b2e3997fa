#include "fakepagehost.h"

void FakePageHost::closeApplication()
{
    ++closeRequests;
}
