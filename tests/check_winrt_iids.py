#!/usr/bin/env python3
"""The parameterized IIDs in src/platform/win32/winrt_tethering.h, computed by WinRT's rule: SHA-1 over the
pinterface namespace GUID and the signature, version 5, RFC 4122 variant. IAsyncOperation<Boolean> is
checked first against its published value, so that the rule itself is known right."""
import hashlib, re, sys, uuid

NAMESPACE = uuid.UUID('11f47ad5-7b73-42c0-abae-878b1e16adee').bytes
RESULT = ('rc(Windows.Networking.NetworkOperators.NetworkOperatorTetheringOperationResult;'
          '{ebd203a1-01ba-476d-b4b3-bf3d12c8f80c})')


def iid(signature):
    digest = bytearray(hashlib.sha1(NAMESPACE + signature.encode()).digest()[:16])
    digest[6] = (digest[6] & 0x0F) | 0x50
    digest[8] = (digest[8] & 0x3F) | 0x80
    return uuid.UUID(bytes=bytes(digest))


def declared(header, name):
    m = re.search(name + r'\{\s*0x(\w+), 0x(\w+), 0x(\w+), \{([^}]*)\}\}', header)
    tail = ''.join('%02x' % int(b, 16) for b in m.group(4).split(','))
    return uuid.UUID('%08x%04x%04x%s' % (int(m.group(1), 16), int(m.group(2), 16), int(m.group(3), 16), tail))


header = open(sys.argv[1], encoding='utf-8').read()
checks = [
    ('IAsyncOperation<Boolean>', iid('pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};b1)'),
     uuid.UUID('cdb5efb3-5788-509d-9be1-71ccb8a3362a')),
    ('IAsyncOperation<NetworkOperatorTetheringOperationResult>',
     iid('pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};' + RESULT + ')'),
     declared(header, 'kIidAsyncTetheringOperation')),
    ('AsyncOperationCompletedHandler<NetworkOperatorTetheringOperationResult>',
     iid('pinterface({fcdcf02c-e5d8-4478-915a-4d90b74b83a5};' + RESULT + ')'),
     declared(header, 'kIidAsyncTetheringOperationCompletedHandler')),
    ('IVectorView<ConnectionProfile>',
     iid('pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.Connectivity.ConnectionProfile;'
         '{71ba143c-598e-49d0-84eb-8febaedcc195}))'),
     declared(header, 'kIidConnectionProfileVectorView')),
    ('IVectorView<NetworkOperatorTetheringClient>',
     iid('pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.NetworkOperators.'
         'NetworkOperatorTetheringClient;{709d254c-595f-4847-bb30-646935542918}))'),
     declared(header, 'kIidTetheringClientVectorView')),
    ('IVectorView<HostName>',
     iid('pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.HostName;'
         '{bf8ecaad-ed96-49a7-9084-d416cae88dcb}))'),
     declared(header, 'kIidHostNameVectorView')),
]
failed = False
for name, computed, expected in checks:
    ok = computed == expected
    failed |= not ok
    print('%s %s: computed %s, declared %s' % ('ok' if ok else 'DIFFERS', name, computed, expected))
sys.exit(1 if failed else 0)
