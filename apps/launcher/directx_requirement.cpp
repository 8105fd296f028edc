// DirectX 9 requirement: the decision and the information dialog's message.
#include "directx_requirement.h"

namespace {

int minor_version(uint32_t version)
{
    return static_cast<int>(version & 0xFFFF);
}

bool answered_too_old(const DirectXFacts &facts)
{
    return facts.query == SetupQuery::Answered && minor_version(facts.version) <= 8;
}

} // namespace

bool directx_sufficient(const DirectXFacts &facts)
{
    bool direct3d = false;
    switch (facts.query) {
    case SetupQuery::Answered: direct3d = minor_version(facts.version) > 8; break;
    case SetupQuery::Failed: direct3d = false; break;
    case SetupQuery::Unavailable: direct3d = facts.direct3d9; break;
    }
    return direct3d && facts.d3dx9;
}

std::wstring directx_message(const DirectXFacts &facts)
{
    if (answered_too_old(facts))
        return L"DirectXのバージョンが " + std::to_wstring(minor_version(facts.version)) +
               L" です。\nDirectX9.0cをインストールしてください。";
    return L"DirectX9.0c以上がインストールされていません。\nDirectX9.0cをインストールしてください。";
}
