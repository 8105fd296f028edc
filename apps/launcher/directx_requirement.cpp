// DirectX 9 requirement: the decision and the information dialog's message.
#include "directx_requirement.h"

namespace {

int minor_version(uint32_t version)
{
    return static_cast<int>(version & 0xFFFF);
}

} // namespace

bool directx_sufficient(const DirectXFacts &facts)
{
    switch (facts.query) {
    case SetupQuery::Answered: return minor_version(facts.version) > 8;
    case SetupQuery::Failed: return false;
    case SetupQuery::Unavailable: break;
    }
    return facts.direct3d9;
}

std::wstring directx_message(const DirectXFacts &facts)
{
    if (facts.query == SetupQuery::Answered)
        return L"DirectXのバージョンが " + std::to_wstring(minor_version(facts.version)) +
               L" です。\nDirectX9.0cをインストールしてください。";
    return L"DirectX9.0c以上がインストールされていません。\nDirectX9.0cをインストールしてください。";
}
